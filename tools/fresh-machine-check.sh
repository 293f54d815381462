#!/usr/bin/env bash
# Proves the README's two commands on a fresh Debian 12: makes (or reuses) a
# minbase bookworm chroot, copies the committed tree into it, runs
# `bash run.sh` on a virtual display until the show prints status lines, ends
# it with Escape, then runs `bash test.sh` there and prints its last lines.
# Needs root, debootstrap, Xvfb and xdotool on this machine.
# Usage: sudo bash tools/fresh-machine-check.sh [CHROOT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root="${1:-/work/chroot/bookworm-check}"
repo=/root/velmo

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

mounts=(proc sys dev dev/pts tmp/.X11-unix)
mkdir -p "$root/tmp/.X11-unix"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount -R "$root/${mounts[$i]}" 2>/dev/null || true
  done
}
trap cleanup EXIT

rm -rf "$root$repo"
mkdir -p "$root$repo"
git archive HEAD | tar -x -C "$root$repo"

display=":$((RANDOM % 400 + 500))"
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 2

echo "== bash run.sh (first README command)"
log="$root/tmp/run.log"
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin DISPLAY="$display" \
  SDL_AUDIODRIVER=dummy bash -c "cd $repo && bash run.sh" >"$log" 2>&1 &
run_pid=$!
for _ in $(seq 1 3600); do
  grep -q '^FPS:' "$log" && break
  kill -0 "$run_pid" 2>/dev/null || break
  sleep 1
done
sleep 5
DISPLAY="$display" xdotool mousemove 400 300 keydown Escape sleep 0.3 keyup Escape || true
wait "$run_pid" && run_status=0 || run_status=$?
grep -E '^FPS:' "$log" | tail -2 || true
tail -3 "$log"
echo "run.sh ended with status $run_status"

echo "== bash test.sh (second README command)"
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c "cd $repo && bash test.sh" >"$root/tmp/test.log" 2>&1 && test_status=0 || test_status=$?
grep -E 'Failed|\*\*\*' "$root/tmp/test.log" | head -20 || true
tail -3 "$root/tmp/test.log"
echo "test.sh ended with status $test_status"
