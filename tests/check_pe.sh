#!/bin/sh
# Checks a Windows executable: its kind as file(1) names it, and that it imports no DLL
# beyond those of Windows itself (the runtime is linked in statically).
#   check_pe.sh EXE 'PE32 executable*Intel 80386*' OBJDUMP
set -eu
exe=$1 kind=$2 objdump=$3

desc=$(file -b "$exe")
case "$desc" in
    $kind) ;;
    *) echo "$exe: $desc; expected $kind" >&2; exit 1 ;;
esac

dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$dlls" ] || { echo "$exe: no imports found" >&2; exit 1; }
system='kernel32|msvcrt|setupapi|advapi32|user32|gdi32|comctl32|comdlg32|uxtheme|shell32|ole32|oleaut32'
others=$(echo "$dlls" | grep -viE "^($system)\.dll$" || true)
[ -z "$others" ] || { echo "$exe imports DLLs beyond Windows: $others" >&2; exit 1; }
echo "$desc; imports:" $dlls
