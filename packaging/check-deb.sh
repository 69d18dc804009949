#!/usr/bin/env bash
# Checks a quillory .deb with dpkg-deb: its control fields, that Depends holds the
# libraries and the packages loaded at run time, and that it installs the program,
# desktop entry, metadata and icons.
# Usage: packaging/check-deb.sh FILE.deb
set -euo pipefail
deb=$1
id=org.tarnwick.Quillory

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillory ] || fail "Package is not quillory"
[ "$(field Version)" = 1.1 ] || fail "Version is not 1.1"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

# Depends names every package on its own or as the first of alternatives; the
# libraries come from dpkg-shlibdeps, the rest are loaded at run time.
depends=$(field Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | sed -E 's/^ *//; s/ *\(.*//; s/ *\|.*//')
for p in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libgstreamer1.0-0 \
    libgstreamer-plugins-base1.0-0 libexif12 \
    qt6-image-formats-plugins gstreamer1.0-plugins-base \
    gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav \
    timgm6mb-soundfont fonts-liberation fonts-wqy-zenhei libuchardet0; do
    grep -qx "$p" <<<"$names" || fail "Depends lacks $p"
done
# A sanitized build would drag in the sanitizer run-time libraries.
if grep -Eq '^lib(asan|ubsan)' <<<"$names"; then fail "the packaged binary is sanitized"; fi

listing=$(dpkg-deb -c "$deb")
files=$(awk '{print $NF}' <<<"$listing")
expected=(./usr/bin/quillory ./usr/share/applications/$id.desktop
    ./usr/share/metainfo/$id.metainfo.xml)
for size in 16 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
for f in "${expected[@]}"; do
    grep -qx "$f" <<<"$files" || fail "package lacks $f"
done
grep -q '^-rwxr-xr-x root/root .* ./usr/bin/quillory$' <<<"$listing" ||
    fail "usr/bin/quillory is not an executable owned by root"

[ $failures -eq 0 ] && echo "dpkg-deb checks passed"
exit $((failures > 0))
