#!/usr/bin/env bash
# Draws every picture of Lumen into img/ (or into the folder given as the
# first argument) with ImageMagick 6 and the DejaVu fonts. The output is kept
# in the repository, so the game never needs this script to run; rerun it after
# changing the art. The result is the same on every run. It ends with the
# desktop icons, drawn from these pictures into dist/icons, and then packs
# every picture into fewer bytes without changing a pixel (optipng, zopflipng
# and jpegtran).
#
# Geometry the game relies on:
# - Full-window pictures (splash, instructions, win, lose, bg) are 1024 x 1024
#   and drawn 1024 world units wide centred on the window, which shows only the
#   central 800 x 600: everything that matters stays in x 112..912, y 212..812.
# - yingleft/yingright/yingtop are drawn 600 units wide centred on the origin:
#   the board disc of radius 300 fills the image edge to edge, so one world unit
#   is 1024 / 600 pixels. yingleft covers exactly the left region of the board
#   (upper small circle included, lower small circle excluded), yingright the rest
#   of the disc; both are white on transparent ground because the game tints them.
# - Puck, aura, sparkles, selection ring and arrow are white or light grey with
#   alpha, since the game's colours multiply them. The arrow points along +x and
#   spans the image's full width.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../img}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

fonts=/usr/share/fonts/truetype/dejavu
SANS="$fonts/DejaVuSans.ttf"
SANS_BOLD="$fonts/DejaVuSans-Bold.ttf"
SERIF="$fonts/DejaVuSerif.ttf"
SERIF_BOLD="$fonts/DejaVuSerif-Bold.ttf"
for font in "$SANS" "$SANS_BOLD" "$SERIF" "$SERIF_BOLD"; do
    [[ -f "$font" ]] || { echo "missing font $font (package fonts-dejavu-core)" >&2; exit 1; }
done
command -v convert > /dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
# The lossless squeezing at the end: optipng and zopflipng for the PNGs,
# jpegtran for the JPEGs.
for tool in optipng:optipng zopflipng:zopfli jpegtran:libjpeg-turbo-progs; do
    command -v "${tool%%:*}" > /dev/null ||
        { echo "${tool%%:*} is needed (package ${tool#*:})" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Pixel centres sit on whole coordinates in ImageMagick's drawing, so the
# centre of a 1024-pixel image is 511.5.
C=511.5

# ---------------------------------------------------------------- board halves
# Left region mask: the left half-plane, minus the lower small circle, plus the
# upper small circle; then cut to the disc.
convert -size 1024x1024 xc:black \
    -fill white -draw "rectangle -2,-2 $C,1026" \
    -fill black -draw "circle $C,767.5 $C,511.5" \
    -fill white -draw "circle $C,255.5 $C,511.5" \
    "$work/leftPlane.png"
convert -size 1024x1024 xc:black -fill white -draw "circle $C,$C $C,-0.5" "$work/disc.png"
convert "$work/leftPlane.png" "$work/disc.png" -compose multiply -composite "$work/leftMask.png"
convert "$work/leftPlane.png" -negate "$work/disc.png" -compose multiply -composite "$work/rightMask.png"

# A faint radial shading keeps the halves from looking flat once tinted.
convert -size 1024x1024 radial-gradient:white-"#d9d6e6" "$work/shade.png"
convert "$work/shade.png" "$work/leftMask.png" -alpha off -compose CopyOpacity -composite \
    PNG32:"$out/yingleft.png"
convert "$work/shade.png" "$work/rightMask.png" -alpha off -compose CopyOpacity -composite \
    PNG32:"$out/yingright.png"

# Top layer: a glowing rim, the S-shaped dividing line and the two eyes, on a
# transparent ground.
convert -size 1024x1024 xc:none \
    -fill none -stroke "#c9c0ff" -strokewidth 14 -draw "circle $C,$C $C,8" \
    -blur 0x6 "$work/rimGlow.png"
# The dividing line is the edge of the left region's mask inside the disc
# (ImageMagick would close a stroked arc with a chord, so no arcs are stroked).
convert "$work/leftPlane.png" -morphology Edge Disk:2.5 "$work/disc.png" \
    -compose multiply -composite -blur 0x1 "$work/lineMask.png"
convert -size 1024x1024 xc:"#8f85d6" "$work/lineMask.png" -alpha off \
    -compose CopyOpacity -composite "$work/line.png"
convert -size 1024x1024 xc:none \
    -fill none -stroke "#f4f0ff" -strokewidth 5 -draw "circle $C,$C $C,4" \
    -fill "#1b1440" -stroke "#8f85d6" -strokewidth 4 -draw "circle $C,255.5 $C,191.5" \
    -fill "#f7f4ff" -stroke "#8f85d6" -strokewidth 4 -draw "circle $C,767.5 $C,703.5" \
    "$work/rimEyes.png"
convert "$work/rimGlow.png" "$work/line.png" -compose over -composite \
    "$work/rimEyes.png" -compose over -composite PNG32:"$out/yingtop.png"

# ------------------------------------------------------------ the backgrounds
# Deterministic star positions from a small linear congruential generator.
stars() {
    awk -v n="$1" -v seed="$2" 'BEGIN {
        s = seed
        for (i = 0; i < n; i++) {
            # The low bits of such a generator repeat quickly: use the high ones.
            s = (s * 1103515245 + 12345) % 2147483648; x = int(s / 2097152)
            s = (s * 1103515245 + 12345) % 2147483648; y = int(s / 2097152)
            s = (s * 1103515245 + 12345) % 2147483648; r = 0.6 + int(s / 21474837) / 70.0
            printf "circle %d,%d %d,%.1f\n", x, y, x, y + r
        }
    }'
}
stars 170 17 > "$work/stars.mvg"

# Dark indigo gradient, a soft violet glow in the middle and a few stars.
convert -size 1024x1024 radial-gradient:"#2b2163"-"#06041a" "$work/sky.png"
convert -size 1024x1024 xc:none -fill "#d8d0ff" -draw "$(cat "$work/stars.mvg")" -blur 0x0.6 "$work/starLayer.png"
convert -size 1024x1024 xc:none -fill "#6b58c9" -draw "circle $C,$C $C,180" -blur 0x90 \
    -channel A -evaluate multiply 0.35 +channel "$work/glow.png"
convert "$work/sky.png" "$work/glow.png" -compose over -composite \
    "$work/starLayer.png" -compose screen -composite "$work/backdrop.png"

# The play background: the board covers its middle, so it keeps only a faint
# halo ring around the disc (radius 300 units = 300 pixels here).
convert -size 1024x1024 xc:none -fill none -stroke "#8c7cf0" -strokewidth 10 \
    -draw "circle $C,$C $C,205" -blur 0x14 "$work/halo.png"
convert "$work/backdrop.png" "$work/halo.png" -compose screen -composite \
    -quality 92 "$out/bg.jpg"

# A small yin-yang emblem from the halves themselves: light left, dark right.
emblem() { # size file
    local canvas=$(($1 + 120))
    convert "$out/yingleft.png" -fill "#f2eeff" -colorize 100 "$work/emblemLeft.png"
    convert "$out/yingright.png" -fill "#161033" -colorize 100 "$work/emblemRight.png"
    # Extra transparent margin so that the glow fades out before the edge.
    convert "$work/emblemRight.png" "$work/emblemLeft.png" -compose over -composite \
        "$out/yingtop.png" -compose over -composite -resize "$1x$1" \
        -background none -gravity center -extent "${canvas}x${canvas}" "$2"
    convert "$2" -alpha extract -blur 0x14 -background "#a898ff" -alpha shape \
        "$work/emblemGlow.png"
    convert "$work/emblemGlow.png" "$2" -gravity center -compose over -composite "$2"
}

# Text with a soft glow behind it. Arguments: base image, output, then
# repeated groups of: font size colour y-offset-from-centre text.
caption() { # in out font size colour y text
    local in="$1" outFile="$2" font="$3" size="$4" colour="$5" y="$6" text="$7"
    convert -size 1024x1024 xc:none -font "$font" -pointsize "$size" -gravity center \
        -fill "#9d8cff" -annotate "+0+$y" "$text" -blur 0x8 "$work/textGlow.png"
    convert "$in" "$work/textGlow.png" -compose screen -composite \
        -font "$font" -pointsize "$size" -gravity center -fill "$colour" \
        -annotate "+0+$y" "$text" "$outFile"
}

# Splash: emblem, name, tag line, prompt.
emblem 230 "$work/emblem.png"
convert "$work/backdrop.png" "$work/emblem.png" -gravity center -geometry +0-150 \
    -compose over -composite "$work/splash0.png"
caption "$work/splash0.png" "$work/splash1.png" "$SERIF_BOLD" 120 "#f6f2ff" 40 "Lumen"
caption "$work/splash1.png" "$work/splash2.png" "$SERIF" 30 "#cfc6ff" 125 "a game of light and shadow"
caption "$work/splash2.png" "$work/splash3.png" "$SANS" 26 "#ffffff" 245 "click to continue"
convert "$work/splash3.png" -quality 92 "$out/splash.jpg"

# Instructions: a title and a few plain lines, left-aligned in a column.
# Arguments: the output, the prompt at the foot, then one "y|text" for each
# line, y being its baseline; a text that starts with "* " begins a point,
# marked with a dot.
instructions() {
    local outFile="$1" prompt="$2" entry y text
    local lines=() dots=()
    shift 2
    for entry in "$@"; do
        y="${entry%%|*}"
        text="${entry#*|}"
        if [[ "$text" == "* "* ]]; then
            text="${text#\* }"
            dots+=(-draw "circle 144,$((y - 8)) 144,$((y - 3))")
        fi
        lines+=(-annotate "+160+$y" "$text")
    done
    convert "$work/help0.png" -font "$SANS" -pointsize 23 -fill "#e8e3ff" "${lines[@]}" \
        -fill "#a99cf5" "${dots[@]}" "$work/help1.png"
    caption "$work/help1.png" "$work/help2.png" "$SANS" 26 "#ffffff" 260 "$prompt"
    convert "$work/help2.png" -quality 92 "$outFile"
}
caption "$work/backdrop.png" "$work/help0.png" "$SERIF_BOLD" 54 "#f6f2ff" -230 "How to play"
instructions "$out/instructions.jpg" "click to play" \
    "380|* Point at a puck and click to pick it." \
    "425|* Point at another puck and click to move light:" \
    "460|a bright source gives light, a dark one takes it." \
    "505|* Click on empty board to send the picked puck there." \
    "550|* Right-click cancels your choice." \
    "610|* Win by making the left half white" \
    "645|and the right half black." \
    "700|* Escape quits."
# The same for touch screens, where there is no pointer, no right button and
# no Escape key: the browser's version shows it to a player who taps.
instructions "$out/instructions-touch.jpg" "tap to play" \
    "380|* Tap a puck to pick it." \
    "425|* Tap another puck to move light:" \
    "460|a bright source gives light, a dark one takes it." \
    "505|* Tap empty board to send the picked puck there." \
    "550|* Tap the picked puck again to let it go." \
    "610|* Win by making the left half white" \
    "645|and the right half black."

# Win and lose: the emblem, the outcome and the way on.
emblem 170 "$work/emblemSmall.png"
convert "$work/backdrop.png" "$work/emblemSmall.png" -gravity center -geometry +0-175 \
    -compose over -composite "$work/end0.png"
caption "$work/end0.png" "$work/win1.png" "$SERIF_BOLD" 84 "#fff6d8" 10 "You win!"
caption "$work/win1.png" "$work/win2.png" "$SERIF" 30 "#e6ddff" 95 "Light and shadow are back in balance."
caption "$work/win2.png" "$work/win3.png" "$SANS" 26 "#ffffff" 230 "click to play again"
convert "$work/win3.png" -quality 92 "$out/win.jpg"

# The emblem turned over: the dark half on top.
convert "$work/backdrop.png" -modulate 75,70,100 \( "$work/emblemSmall.png" -rotate 180 \) \
    -gravity center -geometry +0-175 -compose over -composite "$work/lose0.png"
caption "$work/lose0.png" "$work/lose1.png" "$SERIF_BOLD" 84 "#d9d2ff" 10 "You lose"
caption "$work/lose1.png" "$work/lose2.png" "$SERIF" 30 "#bfb4ee" 95 "The shadow took the light."
caption "$work/lose2.png" "$work/lose3.png" "$SANS" 26 "#ffffff" 230 "click to play again"
convert "$work/lose3.png" -quality 92 "$out/lose.jpg"

# ------------------------------------------------------------ tinted pieces
# Puck: a disc filling its image (its scale is its diameter), lit from the
# upper left, with a slightly darker edge.
convert -size 256x256 radial-gradient:white-"#b8b8b8" -distort SRT "127.5,127.5 1 0 100,100" \
    "$work/puckShade.png"
convert -size 256x256 xc:black -fill white -draw "circle 127.5,127.5 127.5,0.5" "$work/puckMask.png"
convert "$work/puckShade.png" \
    -fill none -stroke "#9a9a9a" -strokewidth 6 -draw "circle 127.5,127.5 127.5,4" \
    "$work/puckMask.png" -alpha off -compose CopyOpacity -composite PNG32:"$out/puck.png"

# Aura: a soft glowing ring that the game grows and fades around each puck.
convert -size 256x256 xc:black -fill none -stroke white -strokewidth 16 \
    -draw "circle 127.5,127.5 127.5,38" -blur 0x10 -level 0,70% "$work/auraMask.png"
convert -size 256x256 xc:white "$work/auraMask.png" -alpha off -compose CopyOpacity -composite \
    PNG32:"$out/aura.png"

# Selection ring: four arcs with gaps and two pointers, so that its turning shows.
convert -size 256x256 xc:black -fill none -stroke white -strokewidth 14 \
    -draw "circle 127.5,127.5 127.5,19.5" \
    -stroke black -strokewidth 26 -draw "line 0,0 255,255" -draw "line 0,255 255,0" \
    -fill white -stroke none \
    -draw "polygon 127.5,2 114,22 141,22" -draw "polygon 127.5,253 114,233 141,233" \
    "$work/ringMask.png"
convert "$work/ringMask.png" -blur 0x3 "$work/ringGlow.png"
convert "$work/ringMask.png" "$work/ringGlow.png" -compose lighten -composite "$work/ringAll.png"
convert -size 256x256 xc:white "$work/ringAll.png" -alpha off -compose CopyOpacity -composite \
    PNG32:"$out/selection.png"

# Arrow: along +x from the left edge to the tip at the right edge; a glowing
# shaft and a solid head that fills the image's height.
convert -size 512x128 xc:black \
    -fill "gray60" -draw "rectangle 0,52 420,75" \
    -fill white -draw "polygon 396,4 517,63.5 396,123 424,63.5" \
    "$work/arrowCore.png"
convert "$work/arrowCore.png" -blur 0x5 "$work/arrowGlow.png"
convert "$work/arrowCore.png" "$work/arrowGlow.png" -compose lighten -composite "$work/arrowMask.png"
convert -size 512x128 gradient:"#d8d8d8"-white -rotate 90 -resize 512x128! "$work/arrowShade.png"
convert "$work/arrowShade.png" "$work/arrowMask.png" -alpha off -compose CopyOpacity -composite \
    PNG32:"$out/arrow.png"

# Sparkles: a bright core with a four-pointed star (board sparkle) and a
# six-pointed one (beam sparkle).
sparkle() { # points file
    local i
    local draws=()
    for ((i = 0; i < $1; i++)); do
        draws+=(-draw "translate 63.5,63.5 rotate $((i * 180 / $1)) ellipse 0,0 60,4 0,360")
    done
    convert -size 128x128 xc:black -fill white "${draws[@]}" -blur 0x1.5 "$work/spikes.png"
    convert -size 128x128 radial-gradient:white-black -level 45%,100% -sigmoidal-contrast 4,50% \
        "$work/core.png"
    convert "$work/spikes.png" "$work/core.png" -compose lighten -composite "$work/sparkleMask.png"
    convert -size 128x128 xc:white "$work/sparkleMask.png" -alpha off -compose CopyOpacity \
        -composite PNG32:"$2"
}
sparkle 2 "$out/whiteSparkle.png"
sparkle 3 "$out/sparkle.png"

# What the game and the browser's page load: the sprites, PNGs with
# transparency, and the full-window screens, JPEGs.
SPRITES=(yingleft yingright yingtop puck aura selection arrow whiteSparkle sparkle)
SCREENS=(splash instructions instructions-touch win lose bg)

# No time stamps or other metadata, so that a rerun gives the same files.
for picture in "${SPRITES[@]}"; do
    convert "$out/$picture.png" -strip -define png:exclude-chunks=date,time PNG32:"$out/$picture.png"
done
for picture in "${SCREENS[@]}"; do
    convert "$out/$picture.jpg" -strip -quality 92 "$out/$picture.jpg"
done

echo "pictures written to $out"

# ------------------------------------------------------------ desktop icons
# The launcher's icon in the sizes of the desktop's icon theme, into
# dist/icons (or icons/ inside the folder given): the board's emblem, light
# half left, on a rounded tile of the night sky so that it shows on light and
# dark panels alike. Drawn once at 1024 pixels, then shrunk to each size.
if [[ $# -ge 1 ]]; then
    icons="$out/icons"
else
    icons="$here/../dist/icons"
fi
mkdir -p "$icons"
icons="$(cd "$icons" && pwd)"
convert -size 1024x1024 xc:black -fill white -draw "roundrectangle 24,24 999,999 190,190" \
    "$work/tileMask.png"
convert "$work/backdrop.png" "$work/tileMask.png" -alpha off -compose CopyOpacity -composite \
    "$work/tile.png"
convert "$out/yingleft.png" -fill "#f2eeff" -colorize 100 "$work/iconLeft.png"
convert "$out/yingright.png" -fill "#161033" -colorize 100 "$work/iconRight.png"
# A broad light rim keeps the disc's outline visible at 16 pixels.
convert "$work/iconRight.png" "$work/iconLeft.png" -compose over -composite \
    "$out/yingtop.png" -compose over -composite \
    -fill none -stroke "#f4f0ff" -strokewidth 36 -draw "circle $C,$C $C,18" \
    -resize 780x780 -background none -gravity center -extent 1024x1024 "$work/iconDisc.png"
convert "$work/iconDisc.png" -alpha extract -blur 0x16 -background "#a898ff" -alpha shape \
    "$work/iconGlow.png"
convert "$work/tile.png" "$work/iconGlow.png" -compose over -composite \
    "$work/iconDisc.png" -compose over -composite "$work/icon.png"
# 192 and 512 are the sizes a web app's manifest offers for home screens.
ICON_SIZES=(16 32 48 64 128 192 256 512)
for size in "${ICON_SIZES[@]}"; do
    convert "$work/icon.png" -resize "${size}x${size}" -strip -define png:exclude-chunks=date,time \
        PNG32:"$icons/lumen-$size.png"
done
# The maskable icon, which a phone cuts to its own shape (a circle, a
# squircle): the night sky to every edge, no transparency, and the emblem
# inside the middle 80 percent that every such shape keeps.
convert "$work/iconDisc.png" -resize 600x600 -background none -gravity center -extent 1024x1024 \
    "$work/maskDisc.png"
convert "$work/maskDisc.png" -alpha extract -blur 0x14 -background "#a898ff" -alpha shape \
    "$work/maskGlow.png"
convert "$work/backdrop.png" "$work/maskGlow.png" -compose over -composite \
    "$work/maskDisc.png" -compose over -composite -alpha off -resize 512x512 \
    -strip -define png:exclude-chunks=date,time PNG24:"$icons/lumen-maskable-512.png"
echo "icons written to $icons"

# ------------------------------------------------------- lossless squeezing
# Every picture is rewritten in fewer bytes with exactly the same pixels:
# each candidate's decoded RGBA must equal the original's, or the script
# stops, and the smallest one is kept.

# The decoded pixels as 8-bit RGBA, the yardstick of every step.
pixels() {
    convert "$1" -depth 8 rgba:- | sha256sum | cut -d' ' -f1
}

# A PNG's colour type (0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA)
# and bit depth, from its header.
pngLayout() {
    od -An -j24 -N2 -tu1 "$1" | awk '{ print $2 "/" $1 }'
}

# Keeps the smallest of the candidates (the first of equals), after checking
# that each shows the original's pixels.
keepSmallest() { # file pixels candidate...
    local file="$1" want="$2" best="$1" candidate
    shift 2
    for candidate in "$@"; do
        [[ "$(pixels "$candidate")" == "$want" ]] ||
            { echo "squeezing $file changed its pixels ($candidate)" >&2; exit 1; }
        if (($(stat -c %s "$candidate") < $(stat -c %s "$best"))); then
            best="$candidate"
        fi
    done
    [[ "$best" == "$file" ]] || cp "$best" "$file"
}

# A PNG: stored grey where all its pixels are grey; optipng chooses each
# row's filter, and zopflipng packs the rows tighter, once with those filters
# and once with its own choice by entropy. A palette is never kept: the
# desktop's DevIL keeps such a picture indexed, and the game then cannot
# measure which parts of it are transparent.
squeezePng() { # file scratch-folder
    local file="$1" dir="$2" want base width height level iterations filter layout candidates=()
    mkdir -p "$dir"
    want="$(pixels "$file")"
    base="$file"
    # ImageMagick warns, and writes colour, where a picture is not grey.
    convert "$file" -define png:color-type=4 -define png:bit-depth=8 -strip \
        -define png:exclude-chunks=date,time PNG:"$dir/grey.png" 2> /dev/null
    if [[ "$(pngLayout "$dir/grey.png")" == 4/8 && "$(pixels "$dir/grey.png")" == "$want" ]]; then
        base="$dir/grey.png"
        candidates+=("$base")
    fi
    # Small pictures get the thorough search. On the large ones it would
    # cost tens of seconds for a few hundred bytes: optipng's quick filter
    # choice does as well there, and zopfli already takes 10 to 20 seconds
    # for each filter on a 1024 x 1024 picture with 5 iterations.
    read -r width height < <(identify -format '%w %h\n' "$file")
    if ((width * height > 256 * 256)); then
        level=2
        iterations=5
    else
        level=7
        iterations=15
    fi
    # -nx: no reduction of colour type or depth, so that nothing becomes a
    # palette.
    optipng -quiet -o"$level" -nx -strip all -out "$dir/optipng.png" "$base"
    candidates+=("$dir/optipng.png")
    for filter in p e; do
        zopflipng -y --iterations="$iterations" --filters="$filter" "$dir/optipng.png" \
            "$dir/zopfli-$filter.png" > /dev/null
        layout="$(pngLayout "$dir/zopfli-$filter.png")"
        [[ "$layout" == 3/* || "$layout" != */8 ]] || candidates+=("$dir/zopfli-$filter.png")
    done
    keepSmallest "$file" "$want" "${candidates[@]}"
}

# Two orders of progressive scans for jpegtran, which on these pictures
# came out smaller than its own. Both send the three components' average
# (DC) values first. The first then sends the brightness's detail (AC) in
# three bands of frequency without its last bit, then that bit for all of
# them, and each colour's detail likewise in one band. The second sends the
# brightness's detail without its last two bits, then each of those bits.
cat > "$work/scans1.txt" << 'SCANS'
0,1,2: 0-0, 0, 0;
0: 1-2, 0, 1;
0: 3-9, 0, 1;
0: 10-63, 0, 1;
0: 1-63, 1, 0;
1: 1-63, 0, 1;
1: 1-63, 1, 0;
2: 1-63, 0, 1;
2: 1-63, 1, 0;
SCANS
cat > "$work/scans2.txt" << 'SCANS'
0,1,2: 0-0, 0, 0;
0: 1-2, 0, 2;
0: 3-9, 0, 2;
0: 10-63, 0, 2;
0: 1-63, 2, 1;
0: 1-63, 1, 0;
1: 1-63, 0, 1;
1: 1-63, 1, 0;
2: 1-63, 0, 1;
2: 1-63, 1, 0;
SCANS

# A JPEG: the same coefficients with optimised Huffman tables and without
# metadata, sequential or in either progressive order, whichever is smallest
# (the soft, dark background packs best sequential).
squeezeJpeg() { # file scratch-folder
    local file="$1" dir="$2" want
    mkdir -p "$dir"
    want="$(pixels "$file")"
    jpegtran -copy none -optimize -outfile "$dir/sequential.jpg" "$file"
    jpegtran -copy none -optimize -scans "$work/scans1.txt" -outfile "$dir/scans1.jpg" "$file"
    jpegtran -copy none -optimize -scans "$work/scans2.txt" -outfile "$dir/scans2.jpg" "$file"
    keepSmallest "$file" "$want" "$dir/sequential.jpg" "$dir/scans1.jpg" "$dir/scans2.jpg"
}

# One picture at a time for each processor, the largest first so that the
# small ones fill in at the end; a failure of any stops the script.
squeezeAll() { # file...
    local file finished running=0 failed=0 count=0 slots
    local -A names=()
    slots="$(nproc 2> /dev/null || echo 1)"
    for file in "$@"; do
        while ((running >= slots)); do
            wait -n -p finished || { echo "squeezing ${names[$finished]} failed" >&2; failed=1; }
            running=$((running - 1))
        done
        count=$((count + 1))
        case "$file" in
        *.png) squeezePng "$file" "$work/squeeze$count" & ;;
        *.jpg) squeezeJpeg "$file" "$work/squeeze$count" & ;;
        esac
        names[$!]="$file"
        running=$((running + 1))
    done
    while ((running > 0)); do
        wait -n -p finished || { echo "squeezing ${names[$finished]} failed" >&2; failed=1; }
        running=$((running - 1))
    done
    ((failed == 0)) || exit 1
}
pictures=()
for picture in "${SPRITES[@]}"; do
    pictures+=("$out/$picture.png")
done
for picture in "${SCREENS[@]}"; do
    pictures+=("$out/$picture.jpg")
done
for size in "${ICON_SIZES[@]}" maskable-512; do
    pictures+=("$icons/lumen-$size.png")
done
mapfile -t pictures < <(ls -S "${pictures[@]}")
squeezeAll "${pictures[@]}"
echo "pictures squeezed"
