#!/usr/bin/env bash
# Runs the built program on Qt's Wayland platform under weston (its X11 back end, nested in a
# virtual X screen) in an English session, and drags the ledger, a date picker and the about
# window by their headers: each must show, and move by the distance dragged. A Wayland
# compositor places windows itself, so a program that moves its own window does not move there.
#
# Windows are found in pictures of the screen: each window's purple background is one region.
#
#   wayland_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no weston or Wayland platform)
set -euo pipefail

source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: wayland_e2e.sh BIN_FOLDER MAKE_DATABOOK}
make_databook=${2:?usage: wayland_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_program "$bin_dir"
command -v weston >/dev/null || { echo "e2e: weston is missing, skipping"; exit 77; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "e2e: Qt's Wayland platform is missing, skipping"; exit 77; }
command -v convert >/dev/null || { echo "e2e: ImageMagick is missing" >&2; exit 1; }

e2e_session pelorin-wayland
mkdir -p "$work/bin"
cp "$bin_dir/Pelorin" "$work/bin/"
"$make_databook" "$work/bin/DataBook.mdb" >/dev/null
e2e_set_ini '[Setting]' 'Install=1'

e2e_screen bash -s "$work/bin/Pelorin" <<'ON_SCREEN'
set -uo pipefail
source "$E2E_LIB"
fail=0
die() { echo "e2e: $*" >&2; sed 's/^/  program: /' "$HOME/program.log" >&2; exit 1; }
problem() { echo "e2e: $*" >&2; fail=1; }

weston --backend=x11-backend.so --socket=pelorin-wayland --width=1000 --height=700 --idle-time=0 \
  >"$HOME/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/pelorin-wayland" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/pelorin-wayland" ] || { cat "$HOME/weston.log" >&2; die "weston did not start"; }
LANG=en_US.UTF-8 WAYLAND_DISPLAY=pelorin-wayland QT_QPA_PLATFORM=wayland "$1" >"$HOME/program.log" 2>&1 &
pid=$!
trap 'kill $pid $compositor 2>/dev/null; wait 2>/dev/null' EXIT
export LC_ALL=C.UTF-8

# The purple backgrounds on the screen, "W H X Y" each (white is set aside first: it is no window).
regions() {
  xdotool mousemove 995 695 # the pointer, which weston draws into the picture, out of the way
  sleep 0.4
  import -window root "$HOME/screen.png"
  convert "$HOME/screen.png" -fill black -opaque white -fill white -opaque 'rgb(128,0,128)' \
    -fill black +opaque white -define connected-components:verbose=true \
    -define connected-components:area-threshold=3000 -connected-components 4 null: |
    awk '$NF == "srgb(255,255,255)" { split($2, g, /[x+]/); print g[1], g[2], g[3], g[4] }'
}
near() { [ $(($1 - $2)) -ge -6 ] && [ $(($1 - $2)) -le 6 ]; }
# find_window "WIDTH HEIGHT" [SECONDS]: "X Y" of the window whose purple background has that size.
find_window() {
  local i w h x y
  for i in $(seq 1 "${2:-20}"); do
    while read -r w h x y; do
      if near "$w" "${1% *}" && near "$h" "${1#* }"; then echo "$x $y"; return 0; fi
    done < <(regions)
    sleep 0.6
  done
  return 1
}
# drag NAME WIDTH DX DY: drags the window by its header (just above its purple background) and
# checks that it moved by DX, DY.
drag() {
  local before after x y
  before=$(find_window "$2" 3) || { problem "the $1 is not on the screen"; return 1; }
  read -r x y <<<"$before"
  x=$((x + 30)); y=$((y - 11))
  xdotool mousemove "$x" "$y" mousedown 1 sleep 0.2 mousemove $((x + 4)) $((y + 2)) sleep 0.2 \
    mousemove $((x + $3 / 2)) $((y + $4 / 2)) sleep 0.2 mousemove $((x + $3)) $((y + $4)) sleep 0.3 mouseup 1
  sleep 0.5
  after=$(find_window "$2" 3) || { problem "the $1 is gone after the drag"; return 1; }
  read -r dx dy <<<"$(echo "$before $after" | awk '{print $3 - $1, $4 - $2}')"
  if [ $((dx - $3)) -lt -3 ] || [ $((dx - $3)) -gt 3 ] || [ $((dy - $4)) -lt -3 ] || [ $((dy - $4)) -gt 3 ]; then
    problem "dragging the $1 by $3,$4 moved it by $dx,$dy"
  fi
}
# click_in WIDTH X Y: clicks at X, Y pixels from the window's top-left corner.
click_in() {
  local x y
  read -r x y <<<"$(find_window "$1" 3)" || return 1
  xdotool mousemove $((x - 3 + $2)) $((y - 22 + $3)) click 1
}
closed() { # "WIDTH HEIGHT": the window has gone
  for _ in $(seq 1 10); do
    find_window "$1" 1 >/dev/null || return 0
  done
  return 1
}

ledger="717 394" picker="235 158" about="357 224"
find_window "$ledger" 40 >/dev/null || die "the ledger did not show under Wayland"
drag ledger "$ledger" 120 -60
# The loan date's picture (6765, 1380 twips) opens the date picker.
click_in "$ledger" 451 92
find_window "$picker" 10 >/dev/null || problem "the date picker did not show under Wayland"
drag "date picker" "$picker" 90 70
xdotool key Escape
closed "$picker" || problem "Escape did not close the date picker"
# The about picture of the toolbar (420, 1940 twips).
click_in "$ledger" 28 129
find_window "$about" 10 >/dev/null || problem "the about window did not show under Wayland"
drag "about window" "$about" 100 50
xdotool key Escape
kill -0 $pid 2>/dev/null || die "the program ended"
[ "$fail" = 0 ] && echo "e2e: under Wayland the ledger, the date picker and the about window show and move"
exit $fail
ON_SCREEN
