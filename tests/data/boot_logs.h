#pragma once
// Real boot logs, excerpts as published, for the sessions to send: text no rule
// of ours wrote. The first two from
// https://github.com/acm-cfw/acm-cfw.github.io/blob/HEAD/welcome.md (an Allwinner
// A33 handheld): its mainline U-Boot's console up to "Starting kernel ...",
// trailing blanks dropped, and a selection of lines of its original firmware's
// kernel log, two of them exactly 59 bytes long.

// U-Boot's console, blank lines included, as its record holds it (LF only).
constexpr const char kUBootConsoleLog[] = R"log(U-Boot SPL 2022.01-rc2-00024-g3144ba23bf-dirty (Nov 20 2021 - 04:03:00 +0000)
DRAM: 512 MiB
Trying to boot from MMC1


U-Boot 2022.01-rc2-00024-g3144ba23bf-dirty (Nov 20 2021 - 04:03:00 +0000) Allwinner Technology

CPU:   Allwinner A33 (SUN8I 1667)
Model: PocketGo S30
DRAM:  512 MiB
WDT:   Not starting watchdog@1c20ca0
MMC:   mmc@1c0f000: 0, mmc@1c11000: 1
Loading Environment from FAT... *** Warning - bad CRC, using default environment

Setting up a 1024x600 lcd console (overscan 0x0)
In:    serial
Out:   vidconsole
Err:   vidconsole
Allwinner mUSB OTG (Peripheral)
Net:   eth0: usb_ether
starting USB...
Bus usb@1c1a000: USB EHCI 1.00
Bus usb@1c1a400: USB OHCI 1.0
scanning bus usb@1c1a000 for devices... 1 USB Device(s) found
scanning bus usb@1c1a400 for devices... 1 USB Device(s) found
       scanning usb for storage devices... 0 Storage Device(s) found
Hit any key to stop autoboot:  0
=> setenv bootargs console=ttyS0,115200 earlyprintk=serial,ttyS1,115200 debug loglevel=7 rootwait root=/dev/mmcblk0p1
=> load mmc 0 0x43000000 boot/sun8i-a33-olinuxino.dtb
21702 bytes read in 3 ms (6.9 MiB/s)
=> load mmc 0 0x42000000 boot/zImage
4087568 bytes read in 172 ms (22.7 MiB/s)
=> bootz 0x42000000 - 0x43000000
Kernel image @ 0x42000000 [ 0x000000 - 0x3e5f10 ]
## Flattened Device Tree blob at 43000000
   Booting using the fdt blob at 0x43000000
   Using Device Tree in place at 43000000, end 430084c5

Starting kernel ...

)log";

// Timestamped kernel lines, ended by LF.
constexpr const char kKernelLog[] = R"log([    0.000000] Booting Linux on physical CPU 0
[    0.000000] Linux version 3.4.39 (jf@jf) (gcc version 6.4.1 (OpenWrt/Linaro GCC 6.4-2017.11 2017-11) ) #154 SMP PREEMPT Mon Jan 25 07:18:08 UTC 2021
[    0.000000] CPU: ARMv7 Processor [410fc075] revision 5 (ARMv7), cr=10c5387d
[    0.000000] CPU: PIPT / VIPT nonaliasing data cache, VIPT aliasing instruction cache
[    0.000000] Machine: sun8i
[    0.000000] Initialized persistent memory from 43080800-430907ff
[    0.000000] cma: CMA: reserved 128 MiB at 58000000
[    0.000000] Memory policy: ECC disabled, Data cache writealloc
[    0.000000] On node 0 totalpages: 131072
[    0.000000] free_area_init_node: node 0, pgdat c09a8240, node_mem_map c0aea000
[    0.000000]   Normal zone: 1152 pages used for memmap
[    0.000000]   Normal zone: 0 pages reserved
[    0.000000]   Normal zone: 129920 pages, LIFO batch:31
[    0.000000] script_init enter!
[    0.000000] script_init exit!
[    0.000000] PERCPU: Embedded 7 pages/cpu @c0f7a000 s6592 r8192 d13888 u32768
[    0.000000] pcpu-alloc: s6592 r8192 d13888 u32768 alloc=8*4096
[    0.000000] Built 1 zonelists in Zone order, mobility grouping on.  Total pages: 129920
[    0.000000] Kernel command line: console= init=/sbin/init disp_para=100 ion_cma_list=32m,64m,128m boot_type=1 loglevel=0 partitions= initcall_debug=0 fb_base=0x41800000
[    0.000000] PID hash table entries: 2048 (order: 1, 8192 bytes)
[    0.000000] Dentry cache hash table entries: 65536 (order: 6, 262144 bytes)
[    0.000000] Inode-cache hash table entries: 32768 (order: 5, 131072 bytes)
[    0.000000] Memory: 512MB = 512MB total
[    0.000000] Memory: 376396k/376396k available, 147892k reserved, 0K highmem
[    0.000000] Preemptible hierarchical RCU implementation.
[    0.000000] NR_IRQS:416
[    0.000000] Architected local timer running at 24.00MHz.
[    0.000000] Switching to timer-based delay loop
[    0.000000] sched_clock: 32 bits at 24MHz, resolution 41ns, wraps every 178956ms
[    0.000000] Console: colour dummy device 80x30
[    0.000185] Calibrating delay loop (skipped), value calculated using timer frequency.. 4800.00 BogoMIPS (lpj=24000000)
[    0.000204] pid_max: default: 4096 minimum: 301
[    0.000340] Security Framework initialized
[    0.000416] Mount-cache hash table entries: 512
[    0.001257] CPU: Testing write buffer coherency: ok
[    0.001485] CPU0: thread -1, cpu 0, socket 0, mpidr 80000000
[    0.001496] [sunxi_smp_prepare_cpus] enter
[    0.001533] Setting up static identity map for 0x403b39e8 - 0x403b3a40
[    0.006150] CPU1: Booted secondary processor
[    0.006214] CPU1: thread -1, cpu 1, socket 0, mpidr 80000001
[    0.010446] Brought up 4 CPUs
[    0.010446] SMP: Total of 4 processors activated (19200.00 BogoMIPS).
[    0.014036] VFP support v0.3: implementor 41 architecture 2 part 30 variant 7 rev 5
[    0.014413] pinctrl core: initialized pinctrl subsystem
[    0.024343] NET: Registered protocol family 16
[    0.024859] DMA: preallocated 2048 KiB pool for atomic coherent allocations
[    0.024859] gpiochip_add: registered GPIOs 0 to 383 on device: sunxi-pinctrl
[    0.024859] sunxi-pinctrl sunxi-pinctrl: initialized sunXi PIO driver
[    0.024859] persistent_ram: no valid data in buffer (sig = 0xffffffff)
[    0.030573] [ARISC WARING] :sys_config.fex have no arisc s_uart0 config!
[    0.045329] [ARISC] :arisc version: [v0.1.33]
[    0.051823] [ARISC] :sunxi-arisc driver v1.02 startup succeeded
[    0.053390] usbcore: registered new interface driver usbfs
[    0.053390] twi_chan_cfg()348 - [twi0] has no twi_regulator.
[    0.060599] Advanced Linux Sound Architecture Driver Version 1.0.25.
[    0.068597] TCP established hash table entries: 16384 (order: 5, 131072 bytes)
[    0.069114] TCP: Hash tables configured (established 16384 bind 16384)
[    0.069398] NET: Registered protocol family 1
)log";

// U-Boot's `printenv` on an STM32MP135F-DK board (U-Boot v2022.10-stm32mp), as a
// developer's public notes file holds it: lines of 9 to 511 bytes, four of them
// longer than 252, in no common shape.
constexpr const char kUBootEnvLog[] = R"log(altbootcmd=run bootcmd
arch=arm
autoload=no
baudrate=115200
board=stm32mp1
board_name=stm32mp135f-dk
boot_a_script=load ${devtype} ${devnum}:${distro_bootpart} ${scriptaddr} ${prefix}${script}; source ${scriptaddr}
boot_device=mmc
boot_efi_binary=if fdt addr ${fdt_addr_r}; then bootefi bootmgr ${fdt_addr_r};else bootefi bootmgr ${fdtcontroladdr};fi;load ${devtype} ${devnum}:${distro_bootpart} ${kernel_addr_r} efi/boot/bootarm.efi; if fdt addr ${fdt_addr_r}; then bootefi ${kernel_addr_r} ${fdt_addr_r};else bootefi ${kernel_addr_r} ${fdtcontroladdr};fi
boot_extlinux=sysboot ${devtype} ${devnum}:${distro_bootpart} any ${scriptaddr} ${prefix}${boot_syslinux_conf}
boot_instance=0
boot_net_usb_start=true
boot_prefixes=/ /boot/
boot_script_dhcp=boot.scr.uimg
boot_scripts=boot.scr.uimg boot.scr
boot_syslinux_conf=extlinux/extlinux.conf
boot_targets=mmc0
bootcmd=run bootcmd_stm32mp
bootcmd_mmc0=devnum=0; run mmc_boot
bootcmd_mmc1=devnum=1; run mmc_boot
bootcmd_mmc2=devnum=2; run mmc_boot
bootcmd_pxe=run boot_net_usb_start; dhcp; if pxe get; then pxe boot; fi
bootcmd_stm32mp=echo "Boot over ${boot_device}${boot_instance}!";if test ${boot_device} = serial || test ${boot_device} = usb;then stm32prog ${boot_device} ${boot_instance}; else run env_check;if test ${boot_device} = mmc;then env set boot_targets "mmc${boot_instance}"; fi;if test ${boot_device} = nand || test ${boot_device} = spi-nand ;then env set boot_targets ubifs0; fi;if test ${boot_device} = nor;then env set boot_targets mmc0; fi;run distro_bootcmd;fi;
bootcmd_ubifs0=devnum=0; run ubifs_boot
bootcount=3
bootdelay=3
cpu=armv7
distro_bootcmd=for target in ${boot_targets}; do run bootcmd_${target}; done
efi_dtb_prefixes=/ /dtb/ /dtb/current/
env_check=if env info -p -d -q; then env save; fi
fdt_addr_r=0xc4000000
fdtcontroladdr=dabf1ea0
fdtfile=stm32mp135f-dk.dtb
fdtoverlay_addr_r=0xc4100000
kernel_addr_r=0xc2000000
load_efi_dtb=load ${devtype} ${devnum}:${distro_bootpart} ${fdt_addr_r} ${prefix}${efi_fdtfile}
loadaddr=0xc2000000
mmc_boot=if mmc dev ${devnum}; then devtype=mmc; run scan_dev_for_boot_part; fi
pxefile_addr_r=0xc4200000
ramdisk_addr_r=0xc4400000
scan_dev_for_boot=echo Scanning ${devtype} ${devnum}:${distro_bootpart}...; for prefix in ${boot_prefixes}; do run scan_dev_for_extlinux; run scan_dev_for_scripts; done;run scan_dev_for_efi;
scan_dev_for_boot_part=part list ${devtype} ${devnum} -bootable devplist; env exists devplist || setenv devplist 1; for distro_bootpart in ${devplist}; do if fstype ${devtype} ${devnum}:${distro_bootpart} bootfstype; then run scan_dev_for_boot; fi; done; setenv devplist
scan_dev_for_efi=setenv efi_fdtfile ${fdtfile}; if test -z "${fdtfile}" -a -n "${soc}"; then setenv efi_fdtfile ${soc}-${board}${boardver}.dtb; fi; for prefix in ${efi_dtb_prefixes}; do if test -e ${devtype} ${devnum}:${distro_bootpart} ${prefix}${efi_fdtfile}; then run load_efi_dtb; fi;done;if test -e ${devtype} ${devnum}:${distro_bootpart} efi/boot/bootarm.efi; then echo Found EFI removable media binary efi/boot/bootarm.efi; run boot_efi_binary; echo EFI LOAD FAILED: continuing...; fi; setenv efi_fdtfile
scan_dev_for_extlinux=if test -e ${devtype} ${devnum}:${distro_bootpart} ${prefix}${boot_syslinux_conf}; then echo Found ${prefix}${boot_syslinux_conf}; run boot_extlinux; echo SCRIPT FAILED: continuing...; fi
scan_dev_for_scripts=for script in ${boot_scripts}; do if test -e ${devtype} ${devnum}:${distro_bootpart} ${prefix}${script}; then echo Found U-Boot script ${prefix}${script}; run boot_a_script; echo SCRIPT FAILED: continuing...; fi; done
scriptaddr=0xc4100000
serial#=800F801C3530510438343532
serverip=192.168.1.1
soc=stm32mp
splashimage=0xc4300000
ubifs_boot=env exists bootubipart || env set bootubipart UBI; env exists bootubivol || env set bootubivol boot; if ubi part ${bootubipart} && ubifsmount ubi${devnum}:${bootubivol}; then devtype=ubi; run scan_dev_for_boot; fi
usb_boot=usb start; if usb dev ${devnum}; then devtype=usb; run scan_dev_for_boot_part; fi
vendor=st
)log";

// A Nexus 5's serial console (bootloader HHZ12k): its LK's own log, then the
// kernel's, as a public notes file on devices' UARTs ("Devices UART", Nexus
// section) holds it, trailing blanks dropped, some kernel lines left out. Two
// lines are exactly 59 bytes long, one 60; two are longer than 252.
constexpr const char kNexusLog[] = R"log(welcome to hammerhead bootloader
[10] Power on reason 80
[10] DDR: hynix
[110] Loaded IMGDATA at 0x11000000
[110] Display Init: Start
[190] MDP GDSC already enabled
[190] bpp 24
[230] Config MIPI_CMD_PANEL.
[230] display panel: ORISE
[280] Found Appeneded Flattened Device tree
[280] DTB: platform id 126, board id 150, soc rev 20002, board rev 11
[320] Set panel ON cmds [35]
[440] Turn on MIPI_CMD_PANEL.
[490] Display Init: Done
[490] cable type from shared memory: 8
[490] reboot_mode restart reason = power_on
[540] vibe
[640] splash: boot
[680] splash: unlocked
[720] use_signed_kernel=0, is_unlocked=1, is_tampered=1.
[720] Loading boot image (9371648): start
[1050] Loading boot image (9371648): done
[1060] Found Appeneded Flattened Device tree
[1060] DTB: platform id 126, board id 150, soc rev 20002, board rev 11
[1070] get_display_kcal = 0, 0, 0, x
[1070]
Booting Linux
[1070] cmdline: console=ttyHSL0,115200,n8 androidboot.hardware=hammerhead user_debug=31 maxcpus=2 msm_watchdog_v2.enable=1 uart_console=enable gpt=enable lge.kcal=0|0|0|x lge.rev=rev_11 androidboot.laf androidboot.emmc=true androidboot.serialno=0335d77208e7e12a [1100] Updating device tree: start
[1110] Updating device tree: done
[1110] booting linux @ 0x8000, ramdisk @ 0x2900000 (918167), tags/device tree @ 0x2700000
[1120] Turn off MIPI_CMD_PANEL.
[1120] Continuous splash enabled, keeping panel alive.
[    0.000000] Booting Linux on physical CPU 0
[    0.000000] Initializing cgroup subsys cpu
[    0.000000] Linux version 3.4.0-g7717f76 (android-build@kpfi6.cbf.corp.google.com) (gcc version 4.8 (GCC) ) #1 SMP PREEMPT Wed Nov 4 21:42:24 UTC 2015
[    0.000000] CPU: ARMv7 Processor [512f06f0] revision 0 (ARMv7), cr=10c5387d
[    0.000000] CPU: PIPT / VIPT nonaliasing data cache, PIPT instruction cache
[    0.000000] Machine: Qualcomm MSM 8974 HAMMERHEAD (Flattened Device Tree), model: LGE MSM 8974 HAMMERHEAD
[    0.000000] qcom,ion-heap@28 reserved EBI1 size 614000
[    0.000000] qcom,mdss_fb_primary reserved EBI1 size 1000000
[    0.000000] qcom,msm-contig-mem reserved EBI1 size 280000
[    0.000000] Node qcom,msm-mem-hole removed memory 7b00000-ff00000
[    0.000000] memory pool 3 (start 0x7e700000 size 1900000) initialized
[    0.000000] PERSIST RAM CONSOLE START ADDR : 0x10000000
[    0.000000] Initialized persistent memory from 10000000-100fffff
[    0.000000] cma: CMA: reserved 16 MiB at 36c00000
[    0.000000] cma: Found secure_region, memory base 0, size 252 MiB
[    0.000000] cma: CMA: reserved 252 MiB at 6e800000
[    0.000000] cma: Found adsp_region, memory base 0, size 32 MiB
[    0.000000] cma: CMA: reserved 32 MiB at 6c800000
[    0.000000] cma: Found qsecom_region, memory base 0, size 17 MiB
[    0.000000] cma: CMA: reserved 20 MiB at 6b400000
[    0.000000] Memory policy: ECC disabled, Data cache writealloc
[    0.000000] IMEM DT static mapping successful
[    0.000000] PERCPU: Embedded 7 pages/cpu @c2403000 s15680 r0 d12992 u32768
[    0.000000] Built 1 zonelists in Zone order, mobility grouping on.  Total pages: 480000
[    0.000000] Kernel command line: console=ttyHSL0,115200,n8 androidboot.hardware=hammerhead user_debug=31 maxcpus=2 msm_watchdog_v2.enable=1 uart_console=enable gpt=enable lge.kcal=0|0|0|x lge.rev=rev_11 androidboot.laf androidboot.emmc=true androidboot.serialno=0335d77208e7e12a androidboot.bootloader=HHZ12k androidboot.baseband=msm bootreason=power_on androidboot.hardware.sku=D821 androidboot.hardware.ddr=hynix androidboot.hardware.display=orise
[    0.000000] UART CONSOLE : enable
[    0.000000] BOARD : LGE rev_11
[    0.000000] PID hash table entries: 4096 (order: 2, 16384 bytes)
[    0.000000] Dentry cache hash table entries: 131072 (order: 7, 524288 bytes)
[    0.000000] Inode-cache hash table entries: 65536 (order: 6, 262144 bytes)
[    0.000000] Memory: 123MB 1768MB = 1891MB total
[    0.000000] Memory: 1570740k/1570740k available, 391244k reserved, 846848K highmem
[    0.000000] SLUB: Genslabs=11, HWalign=64, Order=0-3, MinObjects=0, CPUs=4, Nodes=1
[    0.000000] Preemptible hierarchical RCU implementation.
[    0.000000] NR_IRQS:16 nr_irqs:16 16
[    0.000000] sched_clock: 32 bits at 19MHz, resolution 52ns, wraps every 223696ms
[    0.000000] Switching to timer-based delay loop
[    0.000000] Console: colour dummy device 80x30
[    0.000088] Calibrating delay loop (skipped), value calculated using timer frequency.. 38.40 BogoMIPS (lpj=192000)
[    0.000109] pid_max: default: 32768 minimum: 301
[    0.000280] Security Framework initialized
[    0.000308] SELinux:  Initializing.
[    0.000439] Mount-cache hash table entries: 512
[    0.001294] Initializing cgroup subsys debug
[    0.001361] CPU: Testing write buffer coherency: ok
[    0.001396] ftrace: allocating 30778 entries in 91 pages
[    0.113283] CPU0: thread -1, cpu 0, socket 0, mpidr 80000000
[    0.114060] hw perfevents: enabled with ARMv7 Krait PMU driver, 5 counters available
[    0.117206] Setting up static identity map for 0xa6b650 - 0xa6b6d8
[    0.118792] Brought up 2 CPUs
[    0.118804] SMP: Total of 2 processors activated (76.80 BogoMIPS).
[    0.142830] NET: Registered protocol family 16
[    0.146678] socinfo_print: v8, id=126, ver=2.2, raw_id=1968, raw_ver=7, hw_plat=150, hw_plat_ver=65536
[    0.161073] gpiochip_add: registered GPIOs 0 to 145 on device: msmgpio
[    0.177467] msm_watchdog f9017000.qcom,wdt: MSM Watchdog Initialized
)log";
