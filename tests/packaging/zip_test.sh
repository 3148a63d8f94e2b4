#!/bin/sh
# Makes the Windows ZIP from the build tree into a folder of its own and checks what it
# holds: one folder named after the package, with the three programs and the read-me.
#   zip_test.sh BUILD_DIR PACKAGE_NAME KIND
# KIND is the programs' kind as file(1) names it.
set -eu
build=$1 name=$2 kind=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G ZIP -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
zip="$work/$name.zip"
[ -f "$zip" ] || { echo "no $name.zip; cpack made: $(ls "$work")" >&2; exit 1; }

listing=$(cd "$work" && cmake -E tar tf "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' netcfg-cli.exe netcfg-demo.exe netcfg.exe README-windows.txt |
    sed "s|^|$name/|" | sort)
if [ "$listing" != "$expected" ]; then
    printf 'the ZIP holds:\n%s\nexpected:\n%s\n' "$listing" "$expected" >&2
    exit 1
fi

(cd "$work" && cmake -E tar xf "$zip")
for exe in netcfg netcfg-demo netcfg-cli; do
    desc=$(file -b "$work/$name/$exe.exe")
    case "$desc" in
        $kind) ;;
        *) echo "$exe.exe: $desc; expected $kind" >&2; exit 1 ;;
    esac
done
grep -q 'netcfg-cli' "$work/$name/README-windows.txt" || { echo "README-windows.txt: no netcfg-cli" >&2; exit 1; }
echo "$name.zip: $(echo $listing)"
