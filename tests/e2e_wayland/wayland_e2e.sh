#!/usr/bin/env bash
# The built program on Qt's Wayland platform under weston (nested in a virtual X screen), in an
# English session: the ledger, a date picker and the about window show and move by the distance
# they are dragged by their header. Windows are found in pictures of the screen, each by the size
# of its purple background.
#
#   wayland_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no weston or Wayland platform)
set -euo pipefail
# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
e2e_need_screen
e2e_need_program "$1"
command -v weston >/dev/null && ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "e2e: weston or Qt's Wayland platform is missing, skipping"; exit 77; }
e2e_session pelorin-wayland
e2e_fresh_copy "$1" "$2"

# On the screen: weston, the program in it, and the windows dragged.
drive() {
  set -uo pipefail
  local fail=0 compositor
  problem() { echo "e2e: $*" >&2; fail=1; }
  weston --backend=x11-backend.so --socket=pelorin-wl --width=1000 --height=700 --idle-time=0 >/dev/null 2>&1 &
  compositor=$!
  listening() { [ -S "$XDG_RUNTIME_DIR/pelorin-wl" ]; }
  e2e_until listening || e2e_die "weston did not start"
  LANG=en_US.UTF-8 WAYLAND_DISPLAY=pelorin-wl QT_QPA_PLATFORM=wayland "$1" >/dev/null 2>&1 &
  pid=$!
  trap 'kill $pid $compositor 2>/dev/null; wait 2>/dev/null' EXIT

  # seen "W H": "X Y" of the purple background of that size now (white set aside: no window).
  seen() {
    local w h x y
    # Weston's X11 back end moves its pointer by the X pointer's steps, clamped to its output, so
    # the two drift apart; a step from the far corner to the near one puts both at 0,0 again.
    # Then the pointer, which weston draws into the picture, goes out of the way.
    xdotool mousemove 999 699 mousemove 0 0 mousemove 995 695
    import -window root "$HOME/screen.png"
    while read -r w h x y; do
      if ((w - ${1% *} <= 6 && ${1% *} - w <= 6 && h - ${1#* } <= 6 && ${1#* } - h <= 6)); then
        echo "$x $y"
        return 0
      fi
    done < <(convert "$HOME/screen.png" -fill black -opaque white -fill white -opaque 'rgb(128,0,128)' \
      -fill black +opaque white -define connected-components:verbose=true \
      -define connected-components:area-threshold=3000 -connected-components 4 null: |
      awk '$NF == "srgb(255,255,255)" { split($2, g, /[x+]/); print g[1], g[2], g[3], g[4] }')
    return 1
  }
  shows() { E2E_AT=$(seen "$1"); }
  not_shown() { ! seen "$1" >/dev/null; }
  # at "W H" X Y: the window of that size shows at X Y, give or take 3 pixels.
  at() {
    shows "$1" || return 1
    local x y
    read -r x y <<<"$E2E_AT"
    ((x - $2 <= 3 && $2 - x <= 3 && y - $3 <= 3 && $3 - y <= 3))
  }
  # drag NAME "W H" DX DY: drags the window by its header, just above the purple background.
  drag() {
    local x y x2 y2
    e2e_until shows "$2" || { problem "the $1 did not show"; return; }
    read -r x y <<<"$E2E_AT"
    xdotool mousemove $((x + 30)) $((y - 11)) mousedown 1 sleep 0.2 mousemove $((x + 34)) $((y - 9)) sleep 0.2 \
      mousemove $((x + 30 + $3)) $((y - 11 + $4)) sleep 0.3 mouseup 1
    e2e_until at "$2" $((x + $3)) $((y + $4)) && return
    if [ -z "$E2E_AT" ]; then
      problem "the $1 is gone after the drag"
    else
      read -r x2 y2 <<<"$E2E_AT"
      problem "dragging the $1 by $3,$4 moved it by $((x2 - x)),$((y2 - y))"
    fi
  }
  click_ledger() { # X Y pixels from the ledger's corner
    local x y
    e2e_until shows "717 394" || return 1
    read -r x y <<<"$E2E_AT"
    xdotool mousemove $((x - 3 + $1)) $((y - 22 + $2)) click 1
  }

  drag ledger "717 394" 120 -60
  click_ledger 451 92 # the loan date's picture
  drag "date picker" "235 158" 90 70
  xdotool key Escape
  e2e_until not_shown "235 158" || problem "Escape did not close the date picker"
  click_ledger 28 129 # the about picture
  drag "about window" "357 224" 100 50
  kill -0 $pid 2>/dev/null || problem "the program ended"
  [ "$fail" = 0 ] && echo "e2e: under Wayland the ledger, a date picker and the about window show and move"
  exit $fail
}
e2e_on_screen drive "$work/bin/Pelorin"
