#!/usr/bin/env bash
# Installs a build into a temporary folder and checks what a desktop finds there:
# the binary, a valid desktop entry that starts it, valid AppStream metadata that
# names the entry, and the icon in every size it is meant to have.
# Usage: validate.sh BUILD_DIR APP_ID VERSION ICON_SIZE...
set -euo pipefail
build=$1 id=$2 version=$3
shift 3
sizes=("$@")

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$root/usr" >/dev/null

bin=$root/usr/bin/quillory
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
[ -x "$bin" ] || fail "no program at usr/bin/quillory"
[ -f "$desktop" ] || fail "no desktop entry at usr/share/applications/$id.desktop"
[ -f "$metainfo" ] || fail "no metadata at usr/share/metainfo/$id.metainfo.xml"
[ $failures -eq 0 ] || exit 1

# Hints are advice; warnings and errors are faults.
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
if grep -E ': (error|warning):' <<<"$out"; then fail "desktop entry has errors or warnings"; fi

appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate failed"
# The tree check matches the metadata with the desktop entry that was installed.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree failed"

key() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
[ "$(key Exec)" = "quillory %f" ] || fail "Exec must start the installed program with one file"
# Every name ending the file list can offer must map, by the shared MIME
# database's globs, to a type the entry declares.
globs=/usr/share/mime/globs
if [ -f "$globs" ]; then
    for ext in tif bmp gif jpg dib wmf emf ico cur txt doc nfo mid wav au avi; do
        type=$(sed -n "s/^\([^:]*\):\*\.$ext\$/\1/p" "$globs" | head -n1)
        [ -n "$type" ] || { fail "the MIME database knows no type for *.$ext"; continue; }
        grep -q "^MimeType=\(.*;\)\?$type;" "$desktop" || fail "*.$ext ($type) is not in MimeType"
    done
else
    fail "no shared MIME database at $globs"
fi
[ "$(key Icon)" = "$id" ] || fail "Icon must name the installed icon $id"
[ "$(key Name)" = "The Quillory" ] || fail "Name must be \"The Quillory\""
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metadata does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metadata has no release $version"

# A PNG keeps its width and height as 32-bit big-endian numbers from byte 16.
for size in "${sizes[@]}"; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png
    if [ ! -f "$png" ]; then
        fail "no ${size}x$size icon"
        continue
    fi
    signature=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
    [ "$signature" = 89504e470d0a1a0a ] || fail "${size}x$size icon is not a PNG"
    read -r -a dims <<<"$(od -An -tu4 --endian=big -j16 -N8 "$png")"
    [ "${dims[0]:-}" = "$size" ] && [ "${dims[1]:-}" = "$size" ] ||
        fail "${size}x$size icon is ${dims[0]:-?}x${dims[1]:-?}"
done

[ $failures -eq 0 ] && echo "installed tree is valid"
exit $((failures > 0))
