#!/bin/sh
# Checks the resources of a Windows program, as the resource compiler reads them back out
# of the executable: icon 128 is the picture ICON (a PNG), the version resource carries the
# version of the window title in TITLE_HEADER, and the manifest asks for the common
# controls 6, no elevation, per-monitor DPI awareness and the UTF-8 code page.
#   check_resources.sh EXE WINDRES ICON TITLE_HEADER
set -eu
exe=$1 windres=$2 icon=$3 header=$4

rc=$(mktemp)
trap 'rm -f "$rc"' EXIT
"$windres" -i "$exe" -O rc -o "$rc"
failed=0
fail() {
    echo "$exe: $*" >&2
    failed=1
}

# The icon group 128 has one image of the PNG's length, and that image is a PNG.
size=$(printf '0x%xL' "$(wc -c <"$icon")")
grep -A4 '^128 14 /\* RT_GROUP_ICON \*/' "$rc" | grep -q "Has 1 elements" ||
    fail "no icon 128 of one image"
grep -A4 '^128 14 ' "$rc" | grep -q ", 1, 32, $size, " || fail "icon 128 is not $icon"
grep -A2 ' 3 /\* RT_ICON \*/' "$rc" | grep -q '^  0x474e5089L' || fail "the icon is no PNG"

# The version as the title writes it, and its numbers in the binary fields.
set -- $(sed -n 's/.*NETCFG_TITLE\[\].* V\([0-9]*\)\.\([0-9]*\)-\([0-9]*\)";.*/\1 \2 \3/p' "$header")
[ $# -eq 3 ] || { echo "$header: no version in the title" >&2; exit 1; }
version="V$1.$2-$3"
number() { echo "$1" | sed 's/^0*\([0-9]\)/\1/'; }  # 08 is no octal number
numbers="$(number "$1"), $(number "$2"), $(number "$3"), 0"
for field in FileVersion ProductVersion; do
    grep -qF "VALUE \"$field\", \"$version\"" "$rc" || fail "$field is not $version"
done
for field in FILEVERSION PRODUCTVERSION; do
    grep -qx " $field $numbers" "$rc" || fail "$field is not $numbers"
done

# The manifest, its quoted pieces joined into one text.
manifest=$(sed -n '/ 24 \/\* RT_MANIFEST \*\//,/^END/{s/^ *"//;s/"$//p}' "$rc" | tr -d '\n' |
    sed 's/""/"/g; s/\\n/ /g')
[ -n "$manifest" ] || fail "no manifest"
for want in \
    'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    '<requestedExecutionLevel level="asInvoker"' \
    '>true</dpiAware>' \
    '>PerMonitorV2, system</dpiAwareness>' \
    '>UTF-8</activeCodePage>'; do
    printf '%s' "$manifest" | grep -qF "$want" || fail "the manifest lacks $want"
done
[ $failed -eq 0 ] && echo "$exe: icon 128, version $version, manifest"
exit $failed
