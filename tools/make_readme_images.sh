#!/usr/bin/env bash
# Remakes the pictures at the top of README.md from the programs already built in
# build/bin (this script builds nothing; run ./run.sh or ./test.sh first):
#   docs/window.png    the window under Xvfb, drawing the lit texture
#   docs/drawings.png  the five drawings side by side, rendered by orbo-render
#                      at one angle: wireframe, Gouraud, Phong, texture, lit texture
#   docs/stepper.png   the window with the stepper docked beside the view, Phong,
#                      half-way through the scanlines of a facet
#   docs/depth.png     the same frame in the depth view
#   docs/history.png   the inspector with a pixel's history, and the stepper at
#                      the sample chosen there
# Needs xvfb-run (with xauth), ImageMagick and xdotool; as root the missing ones are installed
# with apt-get, otherwise the command to install them is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

render=build/bin/orbo-render
window=build/bin/orbo
for program in "$render" "$window"; do
  if [ ! -x "$program" ]; then
    echo "$program is missing: build it first (./run.sh or ./test.sh)" >&2
    exit 1
  fi
done

# Every command this script runs, with the Debian package that brings it.
# xvfb-run needs xauth, which Xvfb only recommends.
needed=()
for pair in xvfb-run:xvfb xauth:xauth convert:imagemagick import:imagemagick xdotool:xdotool; do
  command -v "${pair%%:*}" >/dev/null || needed+=("${pair#*:}")
done
mapfile -t needed < <(printf '%s\n' "${needed[@]}" | sort -u | sed '/^$/d')
if [ ${#needed[@]} -gt 0 ]; then
  cmd="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${needed[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${needed[*]}; install them as root with:" >&2
    echo "  $cmd" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}"
fi

mkdir -p docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- The five drawings, one angle ------------------------------------------------
angle=(--angle-x 45 --angle-y 20)
"$render" --mode wireframe "${angle[@]}" -o "$work/1.png"
"$render" --mode surface --shading gouraud "${angle[@]}" -o "$work/2.png"
"$render" --mode surface --shading phong "${angle[@]}" -o "$work/3.png"
"$render" --mode texture --light off "${angle[@]}" -o "$work/4.png"
"$render" --mode texture --light on "${angle[@]}" -o "$work/5.png"
# Each 520 x 600 frame loses the empty black above and below the torus, is
# scaled to 60 % and joined left to right.
convert "$work"/{1,2,3,4,5}.png -gravity center -crop 520x480+0+0 +repage -resize 60% \
  +append -strip docs/drawings.png

# --- The window ------------------------------------------------------------------
# Started from the repository root so that it finds ./Data/texture1.bmp. Xvfb has
# no window manager, so the window keeps its natural size at the top left. The
# click selects texture mode in the panel ("纹理"); with the light on by default
# the view draws the lit texture from the next timer tick, while it turns.
# Both shots start the window and wait for it: $1 the program, $2 the picture;
# $id is the window. The window's shot takes a chosen frame, not one the
# animation happened to reach: once the panel's choice is taken over, `still`
# stops the animation (F6 reaches the view, Space stops) and turns the torus
# back (Home).
cat >"$work/start.sh" <<'START'
set -euo pipefail
"$1" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
id=$(xdotool search --sync --name '^Quellim$' | head -n 1)
sleep 2
still() {
  sleep 1
  xdotool windowfocus "$id" key F6 sleep 0.3 key space sleep 0.3 key Home
}
START
cat >"$work/shoot.sh" <<'SHOOT'
source "$(dirname "$0")/start.sh"
xdotool mousemove --window "$id" 183 375 click 1
# The angles of the drawings above, 45 degrees about x and 20 about y, five a
# key; the frame-time pane empties a second after the last frame.
still
xdotool key --delay 50 $(printf 'Down %.0s' $(seq 9)) $(printf 'Right %.0s' $(seq 4))
sleep 2
import -window "$id" "$2"
SHOOT
xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/shoot.sh" "$window" "$work/window.png"
convert "$work/window.png" -strip docs/window.png

# --- The stepper, the depth buffer and a pixel's history -----------------------
# The window filling a 1600 x 900 screen, stopped (Space) and turned back to its
# start (Home in the view), Phong (the panel's "表面" and "Phong"), 10 x 10 steps
# (Home then four steps on each slider), turned 30 degrees about x by a drag of
# 60 pixels down; then 绘图 → 逐步绘制 (F8), docked beside the view, its keys
# pressed in the view: 40 facets on, then 45 scanlines on into the next.
#   docs/stepper.png  that frame with the stepper's marks and tables
#   docs/depth.png    the same partial frame in the depth view (F7)
#   docs/history.png  the whole frame (End), the inspector (绘图 → 像素检查) on
#                     pixel (100, 8), reached from the centre with Shift and the
#                     arrow keys, and its second sample (which failed its depth
#                     test) chosen in the history, which opens it in the stepper
cat >"$work/step.sh" <<'STEP'
source "$(dirname "$0")/start.sh"
xdotool windowsize "$id" 1600 900 sleep 0.5 windowfocus --sync "$id" key space
xdotool mousemove --window "$id" 110 375 click 1 sleep 0.3 mousemove --window "$id" 160 523 click 1
for y in 230 284; do
  xdotool mousemove --window "$id" 146 "$y" click 1 sleep 0.2 key Home Right Right Right Right
done
xdotool mousemove --window "$id" 700 300 click 1 sleep 0.2 key Home
xdotool mousedown 1 mousemove --window "$id" 700 330 sleep 0.1 mousemove --window "$id" 700 360 mouseup 1
sleep 0.5
xdotool key F8 sleep 1
xdotool key --delay 15 $(printf 'Right %.0s' $(seq 40)) $(printf 'Up %.0s' $(seq 45))
sleep 1
import -window "$id" "$2/stepper.png"
xdotool key F7 sleep 1
import -window "$id" "$2/depth.png"
xdotool key F7 End alt+d i sleep 1 mousemove --window "$id" 100 700 sleep 0.5
xdotool key --delay 15 $(printf 'shift+Right %.0s' $(seq 101)) $(printf 'shift+Up %.0s' $(seq 8))
sleep 1
# The history's second line, then Enter: the stepper shows that sample's scanline.
xdotool mousemove --window "$id" 1300 759 click 1 sleep 0.3 key Return
sleep 1
import -window "$id" "$2/history.png"
STEP
xvfb-run -a -s "-screen 0 1600x900x24" bash "$work/step.sh" "$window" "$work"
for picture in stepper depth history; do
  convert "$work/$picture.png" +repage -strip "docs/$picture.png"
done

ls -l docs/window.png docs/drawings.png docs/stepper.png docs/depth.png docs/history.png
