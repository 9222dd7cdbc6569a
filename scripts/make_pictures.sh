#!/usr/bin/env bash
# Draws the pictures that lie beside the program in data/: the boat shown at the centre of the dial, the glyphs of
# the pause/resume and best-haul buttons, and the legend of the dial's arrow colours.
#
# Run by hand when a drawing changes, then commit the files it writes (the build only copies data/):
#     scripts/make_pictures.sh [--preview DIR]
# --preview DIR also writes every picture as PNG (and enlarged four times) into DIR, to look at them.
#
# Needs ImageMagick 6 ("convert", Debian package imagemagick). Everything is drawn with vector commands at four
# to eight times the final size and then reduced, which gives clean edges at the small sizes of the buttons.
# BMP files are 24-bit without alpha; the whole background of a button glyph is one colour (as its bottom-left pixel),
# so that a button can treat that colour as transparent. The boat is a JPEG on the dial's cream so that it sits on
# the dial even where its background is not made transparent.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/data"
preview=""
while [ $# -gt 0 ]; do
  case "$1" in
    --preview) preview=${2:?"--preview demande un dossier"}; shift 2 ;;
    -h|--help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "Option inconnue : $1" >&2; exit 2 ;;
  esac
done

# The ImageMagick convert of the system (a wrapper earlier in PATH may stand in for it).
IM=""
for c in /usr/bin/convert "$(command -v convert 2>/dev/null || true)"; do
  if [ -n "$c" ] && [ -x "$c" ] && "$c" -version 2>/dev/null | grep -q ImageMagick; then IM=$c; break; fi
done
if [ -z "$IM" ]; then
  echo "ImageMagick (convert) est introuvable : sudo apt-get install imagemagick" >&2
  exit 1
fi

FONT=""
for f in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf DejaVu-Sans; do
  if [ -f "$f" ] || "$IM" -list font 2>/dev/null | grep -q "Font: $f\$"; then FONT=$f; break; fi
done
FONT_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -f "$FONT_BOLD" ] || FONT_BOLD=$FONT
[ -n "$FONT" ] || { echo "Police DejaVu Sans introuvable : sudo apt-get install fonts-dejavu-core" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
[ -z "$preview" ] || mkdir -p "$preview"

# Colours. The cream and the arrow colours are those of the dial.
CREAM='#FFFBF0'
NAVY='#1B2A55'
SAIL='#C4D6F3'
SAIL_DARK='#A9C2EC'
WIND='#6A6A6A'
RED='#D23A28'
AMBER='#E08A00'
GREEN='#1E9A3A'

# ---------------------------------------------------------------------------------------------------------------
# Drawing helpers: each prints MVG commands (ImageMagick's vector language) in the units of the final picture;
# the caller scales them.

# arrow X1 Y1 X2 Y2 COLOUR WIDTH HEAD: a straight arrow from (X1,Y1) to its tip (X2,Y2), with the barbed head of
# the dial's arrows (half-angle 23 degrees, notch half the head's length).
arrow() {
  awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" -v c="$5" -v w="$6" -v h="$7" 'BEGIN {
    dx = x2 - x1; dy = y2 - y1; n = sqrt(dx*dx + dy*dy); ux = dx / n; uy = dy / n
    b = 23 * atan2(0, -1) / 180; cb = cos(b); sb = sin(b)
    lx = x2 - h * (ux*cb - uy*sb); ly = y2 - h * (uy*cb + ux*sb)
    rx = x2 - h * (ux*cb + uy*sb); ry = y2 - h * (uy*cb - ux*sb)
    nx = x2 - h/2 * ux; ny = y2 - h/2 * uy
    printf "stroke \x27%s\x27 stroke-width %g fill none\nline %.3f,%.3f %.3f,%.3f\n", c, w, x1, y1, nx, ny
    printf "fill \x27%s\x27 stroke \x27%s\x27 stroke-width %g\n", c, c, w / 4
    printf "polygon %.3f,%.3f %.3f,%.3f %.3f,%.3f %.3f,%.3f\n", x2, y2, lx, ly, nx, ny, rx, ry
  }'
}

# arc_arrow CX CY R A1 A2 COLOUR WIDTH HEAD: an arc of centre (CX,CY) and radius R from screen angle A1 to A2
# (degrees, 0 to the right, growing clockwise since the screen's y grows downwards), with a head at A2.
# The arc is filled as a band between two radii: this ImageMagick closes an open path when it strokes it.
arc_arrow() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v a1="$4" -v a2="$5" -v c="$6" -v w="$7" -v h="$8" 'BEGIN {
    pi = atan2(0, -1); k = pi / 180; steps = 32
    sgn = (a2 > a1) ? 1 : -1
    back = (h / 2) / r / k          # the band stops at the notch of the head
    e = a2 - sgn * back
    printf "fill \x27%s\x27 stroke none\npolygon", c
    for (i = 0; i <= steps; i++) {
      a = (a1 + (e - a1) * i / steps) * k
      printf " %.3f,%.3f", cx + (r + w/2) * cos(a), cy + (r + w/2) * sin(a)
    }
    for (i = steps; i >= 0; i--) {
      a = (a1 + (e - a1) * i / steps) * k
      printf " %.3f,%.3f", cx + (r - w/2) * cos(a), cy + (r - w/2) * sin(a)
    }
    printf "\n"
    printf "circle %.3f,%.3f %.3f,%.3f\n", cx + r * cos(a1*k), cy + r * sin(a1*k), cx + r * cos(a1*k) + w/2, cy + r * sin(a1*k)
    tx = cx + r * cos(a2 * k); ty = cy + r * sin(a2 * k)
    ux = -sin(a2 * k) * sgn; uy = cos(a2 * k) * sgn
    b = 23 * k; cb = cos(b); sb = sin(b)
    lx = tx - h * (ux*cb - uy*sb); ly = ty - h * (uy*cb + ux*sb)
    rx = tx - h * (ux*cb + uy*sb); ry = ty - h * (uy*cb - ux*sb)
    nx = tx - h/2 * ux; ny = ty - h/2 * uy
    printf "fill \x27%s\x27 stroke \x27%s\x27 stroke-width %g\n", c, c, w / 4
    printf "polygon %.3f,%.3f %.3f,%.3f %.3f,%.3f %.3f,%.3f\n", tx, ty, lx, ly, nx, ny, rx, ry
  }'
}

# dotted_arc CX CY R A1 A2 COLOUR: a row of dots along an arc (angles as for arc_arrow), one every 2.2 units.
dotted_arc() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v a1="$4" -v a2="$5" -v c="$6" 'BEGIN {
    k = atan2(0, -1) / 180; n = int((a2 > a1 ? a2 - a1 : a1 - a2) * k * r / 2.2 + 0.5)
    printf "fill \x27%s\x27 stroke none\n", c
    for (i = 0; i <= n; i++) {
      a = (a1 + (a2 - a1) * i / n) * k; x = cx + r * cos(a); y = cy + r * sin(a)
      printf "circle %.3f,%.3f %.3f,%.3f\n", x, y, x + 0.7, y
    }
  }'
}

# small_boat X Y ANGLE STYLE: a boat seen from above, 20 units long, centred on (X,Y), its bow turned ANGLE degrees
# clockwise from straight up. STYLE "close" (sails sheeted in, as upwind) or "running" (mainsail eased right out,
# as before the wind).
small_boat() {
  local x=$1 y=$2 ang=$3 style=$4
  echo "push graphic-context"
  echo "translate $x,$y"
  echo "rotate $ang"
  echo "stroke-linejoin round stroke-dasharray none"
  echo "fill '#FFFFFF' stroke '$NAVY' stroke-width 1.3"
  echo "path 'M 0,-10 C 4.5,-6 5.5,0 5,5 L 4,10 L -4,10 L -5,5 C -5.5,0 -4.5,-6 0,-10 Z'"
  echo "fill '$SAIL_DARK' stroke '$NAVY' stroke-width 0.6"
  if [ "$style" = running ]; then
    echo "path 'M 0,-3 Q 6,-4.5 9,1.5 Q 5,-0.5 0,-3 Z'"
  else
    echo "path 'M 0,-3.5 Q 5,2 2.8,9 Q 1.4,3 0,-3.5 Z'"
    echo "path 'M 0,-9.3 Q 2.9,-7 2.2,-4.4 Q 1,-6.6 0,-9.3 Z'"
  fi
  echo "fill '$NAVY' stroke none"
  echo "circle 0,-3.2 0,-2.0"
  echo "pop graphic-context"
}

# The wind, drawn as the dial draws the true wind: a grey arrow blowing towards the boat.
wind_from_top() {  # X: column of the arrow; it comes down from the top edge
  arrow "$1" 1.5 "$1" 11 "$WIND" 2 5.5
}

# render NAME W H FACTOR MVG-FILE: draws the MVG commands at FACTOR times the size W x H on cream, reduces the result
# to W x H and keeps it as $work/NAME.png.
render() {
  local name=$1 w=$2 h=$3 f=$4 mvg=$5
  "$IM" -size "$((w * f))x$((h * f))" "xc:$CREAM" -draw "scale $f,$f
$(cat "$mvg")" -filter Triangle -resize "${w}x${h}!" "$work/$name.png"
}

# save_bmp NAME: writes $work/NAME.png as a 24-bit BMP into data/.
save_bmp() {
  "$IM" "$work/$1.png" -background "$CREAM" -alpha remove -alpha off -type TrueColor "BMP3:$out/$1.bmp"
}

# ---------------------------------------------------------------------------------------------------------------
# The boat at the centre of the dial: 140 x 140, bow up, all of it within 68 pixels of the centre so that no part
# is cut off when the picture turns about its centre. The sails are sheeted close, along the boat.
cat > "$work/boat.mvg" <<EOF
stroke-linejoin round
stroke-linecap round
fill '#FFFFFF' stroke '$NAVY' stroke-width 2.2
path 'M 70,7 C 90,24 97,58 94,94 C 93,110 91,122 88,131 L 52,131 C 49,122 47,110 46,94 C 43,58 50,24 70,7 Z'
fill none stroke '#C3CAD8' stroke-width 1
path 'M 70,13 C 86,28 92,60 90,94 C 89,108 87,119 85,127 L 55,127 C 53,119 51,108 50,94 C 48,60 54,28 70,13 Z'
fill '#E6EAF1' stroke '#8D97AD' stroke-width 1.2
roundrectangle 58,44 82,96 8,8
fill '#CDD3E0' stroke '#8D97AD' stroke-width 1
roundrectangle 64,72 76,84 2,2
fill '#C99A6B' stroke '#7E5A35' stroke-width 1.2
roundrectangle 57,101 83,127 4,4
fill '$SAIL' stroke '#24345E' stroke-width 1.5
path 'M 70,12 Q 87,33 85,62 L 79,58 Q 80,34 70,12 Z'
path 'M 70,52 Q 93,76 89,114 Q 82,82 70,52 Z'
stroke '#3A3A3A' stroke-width 2.2
line 70,52 89,114
fill '#1E1E1E' stroke '#1E1E1E' stroke-width 1
circle 70,52 73.5,52
EOF
render iconbat1 140 140 4 "$work/boat.mvg"
"$IM" "$work/iconbat1.png" -alpha off -sampling-factor 1x1 -quality 95 "$out/iconbat1.jpg"

# ---------------------------------------------------------------------------------------------------------------
# Pause and resume glyphs, 24 x 24.
cat > "$work/Gl_pause.mvg" <<EOF
fill '$NAVY' stroke none
roundrectangle 6.5,4.5 10,19.5 1,1
roundrectangle 14,4.5 17.5,19.5 1,1
EOF
render Gl_pause 24 24 8 "$work/Gl_pause.mvg"
save_bmp Gl_pause

cat > "$work/Gl_res.mvg" <<EOF
fill '$GREEN' stroke '$GREEN' stroke-width 1 stroke-linejoin round
polygon 7.5,4.5 19,12 7.5,19.5
EOF
render Gl_res 24 24 8 "$work/Gl_res.mvg"
save_bmp Gl_res

# ---------------------------------------------------------------------------------------------------------------
# Best-haul button glyphs, 40 x 40. The wind blows from the top in all of them.

# At rest: a boat sailing close to the wind, the angle to the wind marked by a dotted arc.
{
  wind_from_top 17
  dotted_arc 15 27 13 -90 -52 "$WIND"
  small_boat 15 27 40 close
} > "$work/vamp.mvg"
render vamp 40 40 8 "$work/vamp.mvg"
save_bmp vamp

# Tacking: the bow turns through the wind, from one side of it to the other.
{
  wind_from_top 20
  arc_arrow 20 28 13.5 -145 -35 "$RED" 1.9 5
  small_boat 20 28 0 close
} > "$work/JEVIRE.mvg"
render JEVIRE 40 40 8 "$work/JEVIRE.mvg"
save_bmp JEVIRE

# Gybing: the boat runs before the wind, mainsail eased out, and its stern (at the top) turns through the wind.
{
  wind_from_top 20
  arc_arrow 20 28 13.5 -145 -35 "$RED" 1.9 5
  small_boat 20 28 180 running
} > "$work/JEMPANNE.mvg"
render JEMPANNE 40 40 8 "$work/JEMPANNE.mvg"
save_bmp JEMPANNE

# Searching the best angle: the boat, still wide of the wind, turns up towards it; a question mark.
{
  wind_from_top 20
  arc_arrow 14 28 14 -18 -66 "$AMBER" 1.9 5
  small_boat 14 28 70 close
  echo "fill '$AMBER' stroke none font '$FONT_BOLD' font-size 13"
  echo "text 29,38.5 '?'"
} > "$work/jecherchevert.mvg"
render jecherchevert 40 40 8 "$work/jecherchevert.mvg"
save_bmp jecherchevert

# Approaching it: the best angle (green dashed line) is near, the boat closes it with a short turn.
{
  wind_from_top 17
  echo "fill none stroke '$GREEN' stroke-width 1.3 stroke-dasharray 2.2,1.6"
  echo "line 15,28 32,11"
  arc_arrow 15 28 15 -16 -43 "$AMBER" 2 5
  small_boat 15 28 72 close
} > "$work/japproche.mvg"
render japproche 40 40 8 "$work/japproche.mvg"
save_bmp japproche

# Close-hauled at the best angle: the boat lies on the green line; a check mark.
{
  wind_from_top 17
  echo "fill none stroke '$GREEN' stroke-width 1.3 stroke-dasharray 2.2,1.6"
  echo "line 15,28 32,11"
  small_boat 15 28 45 close
  echo "fill none stroke '$GREEN' stroke-width 2.6 stroke-linecap round stroke-dasharray none"
  echo "line 26,31 29.5,35"
  echo "line 29.5,35 36.5,26"
} > "$work/jesuisaupres.mvg"
render jesuisaupres 40 40 8 "$work/jesuisaupres.mvg"
save_bmp jesuisaupres

# ---------------------------------------------------------------------------------------------------------------
# Legend of the dial, 168 x 140: one row per arrow colour, the arrow drawn as on the dial, the French label beside.
LW=168
LH=140
legend_rows=(
  '#808080|Vent réel'
  '#008000|Courant'
  '#000000|Vent surface'
  '#0000FF|Vitesse bateau'
  '#FF0000|Vent apparent'
  '#FF00FF|Route fond'
)
{
  echo "fill none stroke '$NAVY' stroke-width 1"
  echo "rectangle 0.5,0.5 $((LW - 1)).5,$((LH - 1)).5"
  y=31
  for row in "${legend_rows[@]}"; do
    arrow 10 "$y" 48 "$y" "${row%%|*}" 2 10
    y=$((y + 19))
  done
} > "$work/legende.mvg"
render legende "$LW" "$LH" 4 "$work/legende.mvg"
{
  echo "fill '$NAVY' stroke none font '$FONT_BOLD' font-size 12"
  echo "text 10,17 'Légende des flèches'"
  echo "font '$FONT' font-size 12"
  y=35
  for row in "${legend_rows[@]}"; do
    echo "text 57,$y '${row#*|}'"
    y=$((y + 19))
  done
} > "$work/legende-text.mvg"
"$IM" "$work/legende.png" -draw "$(cat "$work/legende-text.mvg")" "$work/legende.png"
save_bmp legende

# ---------------------------------------------------------------------------------------------------------------
if [ -n "$preview" ]; then
  for f in "$out"/iconbat1.jpg "$out"/Gl_pause.bmp "$out"/Gl_res.bmp "$out"/vamp.bmp "$out"/JEVIRE.bmp \
           "$out"/JEMPANNE.bmp "$out"/jecherchevert.bmp "$out"/japproche.bmp "$out"/jesuisaupres.bmp \
           "$out"/legende.bmp; do
    b=$(basename "${f%.*}")
    "$IM" "$f" "$preview/$b.png"
    "$IM" "$f" -filter point -resize 400% "$preview/$b-x4.png"
  done
  echo "Aperçus dans $preview"
fi
echo "Images écrites dans $out"
