#!/usr/bin/env bash
# Installs a quillory .deb with apt into a fresh Debian 12 root made by debootstrap,
# without recommended packages, so that only what the package declares arrives; then
# checks that the program's libraries, plugins, sound font and fonts are there and
# starts the viewer headless as an unprivileged user, who must get viewer.ini in the
# configuration folder because /usr/bin is not theirs.
# Usage: packaging/chroot-check.sh FILE.deb   (as root; needs the network)
set -euo pipefail
deb=$(realpath "$1")
mirror=${QUILLORY_DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "chroot-check.sh must run as root"; exit 1; }
command -v debootstrap >/dev/null || { echo "needs debootstrap (apt-get install debootstrap)"; exit 1; }

root=$(mktemp -d /tmp/quillory-root.XXXXXX)
chmod 755 "$root" # it becomes everyone's /
cleanup() {
    # Never remove the tree while /proc is mounted inside it.
    if mountpoint -q "$root/proc"; then umount "$root/proc" || return; fi
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT

in_root() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"
}

start=$SECONDS
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -20 "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
echo "deb $mirror bookworm-updates main" >>"$root/etc/apt/sources.list"
echo "fresh root made in $((SECONDS - start)) s"
# No services start inside the root.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
mount -t proc proc "$root/proc"

cp "$deb" "$root/tmp/"
start=$SECONDS
in_root apt-get update -q >/dev/null
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" >"$root/tmp/apt.log" ||
    { tail -30 "$root/tmp/apt.log"; exit 1; }
echo "installed with $(grep -c '^Setting up' "$root/tmp/apt.log") packages in $((SECONDS - start)) s"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ "$(in_root sh -c 'command -v quillory')" = /usr/bin/quillory ] || fail "quillory is not on the path"
missing=$(in_root ldd /usr/bin/quillory | grep 'not found' || true)
[ -z "$missing" ] || fail "libraries not found: $missing"

# What the program loads at run time: pictures, the platform, playback of wav, au,
# mid and avi, the MIDI sound font and the fonts.
lib=$(echo "$root"/usr/lib/*-linux-gnu)
for f in qt6/plugins/platforms/libqxcb.so qt6/plugins/platforms/libqoffscreen.so \
    qt6/plugins/imageformats/libqtiff.so \
    qt6/plugins/imageformats/libqjpeg.so qt6/plugins/imageformats/libqgif.so \
    gstreamer-1.0/libgstplayback.so gstreamer-1.0/libgstapp.so \
    gstreamer-1.0/libgstvideoconvertscale.so gstreamer-1.0/libgstautodetect.so \
    gstreamer-1.0/libgstjpeg.so gstreamer-1.0/libgstwavparse.so \
    gstreamer-1.0/libgstauparse.so gstreamer-1.0/libgstmidi.so \
    gstreamer-1.0/libgstfluidsynthmidi.so gstreamer-1.0/libgstavi.so \
    gstreamer-1.0/libgstlibav.so gstreamer-1.0/libgstpulseaudio.so; do
    [ -f "$lib/$f" ] || fail "missing ${f##*/}"
done
compgen -G "$root/usr/share/sounds/sf2/*.sf2" >/dev/null || fail "no sound font"
compgen -G "$root/usr/share/fonts/truetype/liberation*/*.ttf" >/dev/null || fail "no fonts"

# Start it for a few seconds: the first start writes the default settings.
mkdir -p -m 700 "$root/tmp/home/run"
chown -R 65534:65534 "$root/tmp/home"
rc=0
in_root setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/home/run QT_QPA_PLATFORM=offscreen \
    timeout 8 quillory >"$root/tmp/run.log" 2>&1 || rc=$?
[ $rc -eq 124 ] || fail "quillory ended by itself with $rc"
[ -s "$root/tmp/run.log" ] && sed 's/^/quillory said: /' "$root/tmp/run.log" | head -n 20
ini=$root/tmp/home/.config/quillory/viewer.ini
if [ -f "$ini" ]; then
    echo "viewer.ini in the user's configuration folder: $(tr '\r\n' '  ' <"$ini")"
else
    fail "no viewer.ini in the user's configuration folder"
fi
[ ! -e "$root/usr/bin/viewer.ini" ] || fail "viewer.ini written beside the program"

[ $failures -eq 0 ] && echo "installed and started in a fresh root"
exit $((failures > 0))
