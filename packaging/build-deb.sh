#!/usr/bin/env bash
# Builds the Debian package (Release, no sanitizers, its own build folder) and checks
# its control fields and file list with dpkg-deb.
#
# Usage: packaging/build-deb.sh [--chroot]
#   --chroot  also installs the package with apt into a fresh Debian 12 root made by
#             debootstrap (root only; needs the network and a few minutes) and starts
#             the installed viewer there as an unprivileged user.
# Environment: QUILLORY_DEB_BUILD (build folder, default build-deb),
#              QUILLORY_DEBIAN_MIRROR (default http://deb.debian.org/debian).
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
build=${QUILLORY_DEB_BUILD:-build-deb}
id=org.tarnwick.Quillory

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLORY_SANITIZE=OFF -DQUILLORY_TESTS=OFF \
    >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillory
rm -f "$build"/quillory_*.deb
(cd "$build" && cpack -G DEB >/dev/null 2>&1) || { echo "cpack failed"; exit 1; }
debs=("$build"/quillory_*.deb)
[ -f "${debs[0]}" ] || { echo "cpack made no package"; exit 1; }
deb=$here/${debs[0]}
echo "package: $deb"

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
for p in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 \
    libqt6multimediawidgets6 qt6-image-formats-plugins gstreamer1.0-plugins-base \
    gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav \
    timgm6mb-soundfont fonts-liberation; do
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

if [ "${1:-}" = --chroot ] && [ $failures -eq 0 ]; then
    bash "$here/packaging/chroot-check.sh" "$deb" || fail "install into a fresh root"
fi

[ $failures -eq 0 ] && echo "package checks passed: $deb"
exit $((failures > 0))
