#!/bin/sh
# Mounts (or unmounts) a tiny tmpfs so that a test can meet a full disk. Only
# root may mount; elsewhere the test that needs it says it skipped.
action=$1
dir=$2
case "$action" in
  mount)
    mkdir -p "$dir"
    mountpoint -q "$dir" && umount "$dir"
    if mount -t tmpfs -o size=16k tmpfs "$dir" 2>/dev/null; then
      : >"$dir/mounted"
      echo "small disk mounted at $dir"
    else
      echo "cannot mount a small disk at $dir (not root?): the full-disk test will skip"
    fi
    ;;
  unmount)
    mountpoint -q "$dir" && umount "$dir"
    ;;
esac
exit 0
