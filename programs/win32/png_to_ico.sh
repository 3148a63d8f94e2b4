#!/bin/sh
# Wraps a PNG picture in an icon file whose one image is the PNG itself, a form Windows
# reads since Vista; the resource compiler takes such a file for an ICON resource.
#   png_to_ico.sh PICTURE.png OUT.ico
set -eu
png=$1 ico=$2

[ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    { echo "$png: not a PNG picture" >&2; exit 1; }
# Width and height: the header chunk's first two big-endian words, at byte 16. An icon
# entry holds each in one byte, 0 meaning 256.
set -- $(od -An -tu1 -j16 -N8 "$png")
width=$(($1 << 24 | $2 << 16 | $3 << 8 | $4))
height=$(($5 << 24 | $6 << 16 | $7 << 8 | $8))
for n in $width $height; do
    [ "$n" -ge 1 ] && [ "$n" -le 256 ] || { echo "$png: $width x $height is no icon size" >&2; exit 1; }
done
size=$(wc -c <"$png")

byte() { printf "\\$(printf %03o "$(($1 & 255))")"; }
le16() { byte "$1"; byte "$(($1 >> 8))"; }
le32() { le16 "$(($1 & 65535))"; le16 "$(($1 >> 16))"; }

{
    le16 0; le16 1; le16 1                    # reserved, type icon, one image
    byte "$width"; byte "$height"; byte 0; byte 0   # no palette count, reserved
    le16 1; le16 32                           # planes, bits per pixel
    le32 "$size"; le32 22                     # the image's length and where it starts
    cat "$png"
} >"$ico.tmp"
mv "$ico.tmp" "$ico"
