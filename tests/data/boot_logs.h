#pragma once
// Real boot logs, excerpts as published, for the sessions to send: text no rule
// of ours wrote. Both from https://github.com/acm-cfw/acm-cfw.github.io/blob/HEAD/welcome.md
// (an Allwinner A33 handheld): its mainline U-Boot's console up to "Starting
// kernel ...", trailing blanks dropped; and lines of its original firmware's
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
