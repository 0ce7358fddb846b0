#!/usr/bin/env bash
# The built program on Qt's Wayland platform under weston (nested in a virtual X screen), in an
# English session: the ledger, a date picker and the about window show and move by the distance
# they are dragged by their header. Windows are found in pictures of the screen, each by the size
# of its purple background.
#
#   wayland_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no weston or Wayland platform)
set -euo pipefail
source "$(dirname "$0")/../support/e2e_lib.sh"
e2e_need_screen
e2e_need_program "$1"
command -v weston >/dev/null && ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "e2e: weston or Qt's Wayland platform is missing, skipping"; exit 77; }
e2e_session pelorin-wayland
mkdir -p "$work/bin"
cp "$1/Pelorin" "$work/bin/"
"$2" "$work/bin/DataBook.mdb" >/dev/null
e2e_set_ini '[Setting]' 'Install=1'

e2e_screen bash -s "$work/bin/Pelorin" <<'ON_SCREEN'
set -uo pipefail
source "$E2E_LIB"
fail=0
problem() { echo "e2e: $*" >&2; fail=1; }
weston --backend=x11-backend.so --socket=pelorin-wl --width=1000 --height=700 --idle-time=0 >/dev/null 2>&1 &
compositor=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/pelorin-wl" ] && break; sleep 0.1; done
LANG=en_US.UTF-8 WAYLAND_DISPLAY=pelorin-wl QT_QPA_PLATFORM=wayland "$1" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid $compositor 2>/dev/null; wait 2>/dev/null' EXIT

# find "W H" [TRIES]: "X Y" of the purple background of that size (white set aside: no window).
find() {
  local i w h x y
  for i in $(seq 1 "${2:-3}"); do
    xdotool mousemove 995 695 sleep 0.4 # weston draws the pointer into the picture: out of the way
    import -window root "$HOME/screen.png"
    while read -r w h x y; do
      if ((${w} - ${1% *} <= 6 && ${1% *} - w <= 6 && h - ${1#* } <= 6 && ${1#* } - h <= 6)); then
        echo "$x $y"
        return 0
      fi
    done < <(convert "$HOME/screen.png" -fill black -opaque white -fill white -opaque 'rgb(128,0,128)' \
      -fill black +opaque white -define connected-components:verbose=true \
      -define connected-components:area-threshold=3000 -connected-components 4 null: |
      awk '$NF == "srgb(255,255,255)" { split($2, g, /[x+]/); print g[1], g[2], g[3], g[4] }')
    sleep 0.6
  done
  return 1
}
# drag NAME "W H" DX DY: drags the window by its header, just above the purple background.
drag() {
  local x y x2 y2
  read -r x y < <(find "$2" 20) || { problem "the $1 did not show"; return; }
  xdotool mousemove $((x + 30)) $((y - 11)) mousedown 1 sleep 0.2 mousemove $((x + 34)) $((y - 9)) sleep 0.2 \
    mousemove $((x + 30 + $3)) $((y - 11 + $4)) sleep 0.3 mouseup 1 sleep 0.5
  read -r x2 y2 < <(find "$2") || { problem "the $1 is gone after the drag"; return; }
  ((x2 - x - $3 <= 3 && $3 - x2 + x <= 3 && y2 - y - $4 <= 3 && $4 - y2 + y <= 3)) ||
    problem "dragging the $1 by $3,$4 moved it by $((x2 - x)),$((y2 - y))"
}
click_ledger() { # X Y pixels from the ledger's corner
  local x y
  read -r x y < <(find "717 394") && xdotool mousemove $((x - 3 + $1)) $((y - 22 + $2)) click 1
}

drag ledger "717 394" 120 -60
click_ledger 451 92 # the loan date's picture
drag "date picker" "235 158" 90 70
xdotool key Escape
click_ledger 28 129 # the about picture
drag "about window" "357 224" 100 50
kill -0 $pid 2>/dev/null || problem "the program ended"
[ "$fail" = 0 ] && echo "e2e: under Wayland the ledger, a date picker and the about window show and move"
exit $fail
ON_SCREEN
