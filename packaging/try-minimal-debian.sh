#!/usr/bin/env bash
# Proves the package's Depends on a minimal system: makes a Debian 12 root with
# debootstrap (variant minbase) from Debian's mirror, installs the .deb there with
# apt-get, which has to pull every library the programs need, and works one small
# day inside it (day.sh), PDF included. Needs root, debootstrap and the network;
# takes some minutes (see the README). Not part of scripts/test.
#   packaging/try-minimal-debian.sh [PACKAGE.deb]
# Without an argument the package is built from build/ (scripts/test builds it).
# MIRROR changes the mirror; KEEP_ROOT=1 keeps the root for a look afterwards.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
mirror="${MIRROR:-http://deb.debian.org/debian}"

fail() { echo "ОШИБКА: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "нужны права root (debootstrap и chroot): sudo $0"
command -v debootstrap > /dev/null || fail "нет debootstrap: apt-get install debootstrap"

work="$(mktemp -d /var/tmp/vastrel-minimal.XXXXXX)"
root="$work/root"
cleanup() {
    mountpoint -q "$root/proc" && umount "$root/proc"
    if [ "${KEEP_ROOT:-0}" = 1 ]; then echo "Корень оставлен: $root"; else rm -rf "$work"; fi
}
trap cleanup EXIT

if [ $# -ge 1 ]; then
    deb="$(realpath "$1")"
else
    cpack --config "${BUILD_DIR:-$repo/build}/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1 \
        || { cat "$work/cpack.log"; fail "cpack не собрал пакет"; }
    deb="$(ls "$work"/out/*.deb)"
fi
[ -f "$deb" ] || fail "нет пакета $deb"

started=$(date +%s)
echo "debootstrap bookworm из $mirror в $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" > "$work/debootstrap.log" 2>&1 \
    || { tail -n 30 "$work/debootstrap.log"; fail "debootstrap"; }
bootstrapped=$(date +%s)

mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
cp "$here/day.sh" "$root/tmp/day.sh"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" \
    > "$work/apt.log" 2>&1 || { tail -n 30 "$work/apt.log"; fail "apt-get install"; }
installed=$(date +%s)
grep -m 1 'newly installed' "$work/apt.log" || true

# A user of the new system, as an accountant would be; the Russian locale is not
# generated in a minimal root, so the day runs under C.UTF-8.
in_root useradd --create-home accountant
in_root su accountant -c "vastrel --help > /dev/null && vastrel-taver --version && sh /tmp/day.sh vastrel /home/accountant/ws"
in_root apt-get remove -y -qq vastrel-taver > "$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "apt-get remove"; }
[ ! -e "$root/usr/bin/vastrel" ] || fail "после удаления пакета vastrel остался"
finished=$(date +%s)

echo "Пакет $(basename "$deb") установлен в минимальный Debian 12 и прошёл день работы."
echo "Время: debootstrap $((bootstrapped - started)) с, установка $((installed - bootstrapped)) с," \
     "день и удаление $((finished - installed)) с, всего $((finished - started)) с."
