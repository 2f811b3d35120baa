#!/usr/bin/env bash
# Installs the package into a clean Debian 12 root, as a customer's apt would, starts both
# programs there and removes it again; fails when anything it installed is left behind.
#   tools/package-test.sh [PACKAGE.deb]     (default: builds one with tools/package.sh)
# Needs root, debootstrap and Debian's mirror (QS_JUV_MIRROR); takes minutes, so CTest does not
# run it. QS_JUV_DEBOOTSTRAP_CACHE=DIR keeps the downloaded base packages for the next run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mirror=${QS_JUV_MIRROR:-http://deb.debian.org/debian}
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot)"
command -v debootstrap >/dev/null || fail "needs debootstrap (apt-get install debootstrap)"

if [ $# -ge 1 ]; then
    deb=$(realpath "$1")
else
    deb=$("$here/package.sh" | grep '\.deb$' | head -1)
fi
[ -f "$deb" ] || fail "no package: $deb"

root=$(mktemp -d /var/tmp/qs-juv-root.XXXXXX)
chmod 755 "$root"
cleanup() {
    umount "$root/dev/pts" 2>/dev/null || true
    umount "$root/proc" 2>/dev/null || true
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
in_root() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 HOME=/root DEBIAN_FRONTEND=noninteractive "$@"
}

cache=()
if [ -n "${QS_JUV_DEBOOTSTRAP_CACHE:-}" ]; then
    mkdir -p "$QS_JUV_DEBOOTSTRAP_CACHE"
    cache=(--cache-dir="$(realpath "$QS_JUV_DEBOOTSTRAP_CACHE")")
fi
start=$(date +%s)
debootstrap --variant=minbase "${cache[@]}" bookworm "$root" "$mirror" >"$root.log" 2>&1 \
    || { tail -20 "$root.log"; rm -f "$root.log"; fail "debootstrap"; }
rm -f "$root.log"
echo "debootstrap: $(( $(date +%s) - start )) s"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t devpts devpts "$root/dev/pts" 2>/dev/null || true
in_root dpkg-query -W -f='${Package}\n' | sort >"$root/tmp/before"

name=$(basename "$deb")
cp "$deb" "$root/tmp/$name"
in_root apt-get update -q >/dev/null
in_root sh -c "cd /tmp && apt-get install -y -q ./$name" >/dev/null \
    || fail "apt-get install ./$name"
echo "installed: $(( $(date +%s) - start )) s"

version=$(in_root qs_juv --version) || fail "qs_juv --version"
[ "$version" = "qs_juv $(dpkg-deb -f "$deb" Version | sed 's/-[^-]*$//')" ] || fail "qs_juv --version: $version"
echo "qs_juv --version: $version"
cp "$here/../tests/data/profile-reference/out1.cfg" "$root/tmp/order.cfg"
in_root qs_juv_check /tmp/order.cfg >/dev/null || fail "qs_juv_check /tmp/order.cfg"
in_root qs_juv_check --quiet /tmp/order.cfg
echo "qs_juv_check /tmp/order.cfg: ok"
# The libraries the window needs are all there: it starts and is still running when stopped.
status=0
in_root timeout 5 env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=/tmp/config qs_juv /tmp/order.cfg || status=$?
[ "$status" -eq 124 ] || fail "the window did not keep running (status $status)"
echo "qs_juv /tmp/order.cfg: the window runs"

in_root apt-get purge -y -q --autoremove qs-juv >/dev/null || fail "apt-get purge"
in_root dpkg-query -W -f='${Package}\n' | sort >"$root/tmp/after"
in_root dpkg-query -W qs-juv >/dev/null 2>&1 && fail "qs-juv is still known to dpkg"
# What another package of the base system also recommends may stay; it is shown, not failed.
diff "$root/tmp/before" "$root/tmp/after" | sed -n 's/^> /still installed (recommended by the base system): /p' || true
left=0
while read -r path; do
    path=${path#.}
    [ -f "$root$path" ] && { echo "left behind: $path" >&2; left=1; }
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t)
[ $left -eq 0 ] || fail "files left after the purge"
echo "removed cleanly: $(( $(date +%s) - start )) s in all"
echo "package test passed"
