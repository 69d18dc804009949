#!/usr/bin/env bash
# Builds the Debian package (Release, no sanitizers, its own build folder) and checks
# its control fields and file list with dpkg-deb (check-deb.sh).
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

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLORY_SANITIZE=OFF -DQUILLORY_TESTS=OFF \
    >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillory
rm -f "$build"/quillory_*.deb
(cd "$build" && cpack -G DEB >/dev/null 2>&1) || { echo "cpack failed"; exit 1; }
debs=("$build"/quillory_*.deb)
[ -f "${debs[0]}" ] || { echo "cpack made no package"; exit 1; }
deb=$here/${debs[0]}
echo "package: $deb"

bash "$here/packaging/check-deb.sh" "$deb"
if [ "${1:-}" = --chroot ]; then
    bash "$here/packaging/chroot-check.sh" "$deb"
fi
echo "package checks passed: $deb"
