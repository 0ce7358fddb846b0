# shellcheck shell=bash
# Shared by the end-to-end scripts that run the built program on a virtual screen. Sourced by the
# scripts, and by the shell that runs their on-screen part (it finds it through $E2E_LIB).
#
# Every step waits for the state it needs (a window shown, focused or gone, a row written) and
# never sleeps a fixed time: a busy machine makes a run slow, not red. Every wait gives up after
# E2E_TIMEOUT seconds (60 unless the environment says otherwise; the accessibility walk reads it too).

E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")
export E2E_LIB
E2E_KEY=vqt.lorman.kex
export E2E_TIMEOUT=${E2E_TIMEOUT:-60}
# e2e_die ends the script from inside $(…) too, by sending the script's shell this signal.
trap 'exit 1' TERM

# e2e_die MESSAGE...: says why, shows the program's output, and ends the whole script with 1,
# also when called inside a command substitution or a pipeline.
e2e_die() {
  echo "e2e: $*" >&2
  [ ! -s "${HOME:-}/program.log" ] || sed 's/^/  program: /' "$HOME/program.log" >&2
  [ "$BASHPID" = "$$" ] || kill -TERM $$
  exit 1
}

# Without a virtual screen the test is skipped (77), not failed.
e2e_need_screen() {
  local tool
  for tool in Xvfb xvfb-run xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing, skipping"; exit 77; }
  done
}

e2e_need_sqlcipher() {
  command -v sqlcipher >/dev/null || { echo "e2e: the sqlcipher shell is missing" >&2; exit 1; }
}

e2e_need_program() { # BIN_FOLDER
  [ -x "$1/Pelorin" ] || { echo "e2e: $1/Pelorin is not built" >&2; exit 1; }
}

# e2e_session NAME: a scratch folder $work, removed on exit, with a home, a configuration folder
# and a runtime folder that the program's session uses instead of the user's. E2E_INI is the
# program's settings file there.
e2e_session() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/home" "$work/config" "$work/run"
  chmod 700 "$work/run"
  export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
  export LC_ALL='' LC_MESSAGES='' QT_QPA_PLATFORM=xcb
  export E2E_INI=$XDG_CONFIG_HOME/Pelorin/Pelorin.ini
}

# e2e_set_ini LINE...: replaces the program's settings file.
e2e_set_ini() {
  mkdir -p "$(dirname "$E2E_INI")"
  printf '%s\n' "$@" >"$E2E_INI"
}

# e2e_installed_copy BIN_FOLDER: the program's folder copied to $work/bin without its ledger,
# its first-run installer already been through; the caller writes the ledger it needs.
e2e_installed_copy() {
  cp -r "$1" "$work/bin"
  rm -f "$work/bin/DataBook.mdb"
  e2e_set_ini '[Setting]' 'Install=1'
}

# e2e_fresh_copy BIN_FOLDER MAKE_DATABOOK: the program alone in $work/bin with a freshly made
# delivered ledger, whatever the build folder's copy has been through, installer done.
e2e_fresh_copy() {
  mkdir -p "$work/bin"
  cp "$1/Pelorin" "$work/bin/"
  "$2" "$work/bin/DataBook.mdb" >/dev/null
  e2e_set_ini '[Setting]' 'Install=1'
}

# e2e_sql DATABASE STATEMENTS...: runs them in the sqlcipher shell with the program's key and
# prints their rows (without the key statement's "ok"). The shell waits while the program writes.
e2e_sql() {
  local db=$1
  shift
  sqlcipher -batch "$db" "PRAGMA key='$E2E_KEY';" ".timeout 5000" "$@" | sed '/^ok$/d'
}

# e2e_new_ledger DATABASE LIBRARY: writes the program's two tables, keyed, with the library name;
# the loans are for the caller to add.
e2e_new_ledger() {
  e2e_sql "$1" "CREATE TABLE TableBook (ID INTEGER PRIMARY KEY AUTOINCREMENT, NameBook TEXT COLLATE NOCASE,
       NameWriter TEXT COLLATE NOCASE, NameBorrower TEXT COLLATE NOCASE, DateLoan TEXT COLLATE NOCASE,
       DateReturn TEXT COLLATE NOCASE, TimeLoan TEXT COLLATE NOCASE);
     CREATE TABLE TableSetting (NameLibrary TEXT COLLATE NOCASE);
     INSERT INTO TableSetting VALUES ('$2');" >/dev/null
}

# e2e_screen COMMAND...: runs it on a new virtual screen. The search for a free display starts at
# a number of this run's own, so that tests started together race less for the same one. An X
# server starts afresh whenever its last client leaves, forgetting the keyboard layout and
# refusing connections for a moment: between two programs, or after setxkbmap. -noreset keeps it.
e2e_screen() {
  xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24 -noreset" "$@"
}

# e2e_on_screen [--bus] FUNCTION ARGS...: runs the script's FUNCTION on a new virtual screen in a
# shell of its own that has this library (with --bus, inside a private D-Bus session). The
# function sets its shell's options and defines any helpers it needs inside itself; the
# variables it reads must be exported.
e2e_on_screen() {
  local bus=()
  [ "$1" != --bus ] || { bus=(dbus-run-session --); shift; }
  E2E_CODE=$(declare -f "$1")
  export E2E_CODE E2E_SHOTS=${PELORIN_SHOTS:-}
  # shellcheck disable=SC2016 # expanded by the shell on the screen
  e2e_screen "${bus[@]}" bash -c 'source "$E2E_LIB" && eval "$E2E_CODE" && "$@"' e2e "$@"
}

# e2e_until COMMAND...: runs it until it succeeds, at first often, then every half second; fails
# when E2E_TIMEOUT seconds pass first.
e2e_until() {
  local start=$SECONDS pause=0.05
  until "$@"; do
    ((SECONDS - start < E2E_TIMEOUT)) || return 1
    sleep "$pause"
    case $pause in 0.05) pause=0.1 ;; 0.1) pause=0.2 ;; *) pause=0.5 ;; esac
  done
}

# e2e_expect WANT WHAT COMMAND...: waits until COMMAND prints WANT; otherwise dies saying what
# it printed last.
e2e_expect() {
  local want=$1 what=$2
  shift 2
  e2e_until e2e__prints "$want" "$@" || e2e_die "$what: [$E2E_LAST], expected [$want]"
}
e2e__prints() {
  local want=$1
  shift
  E2E_LAST=$("$@" 2>&1) && [ "$E2E_LAST" = "$want" ]
}

# e2e_visible PATTERN: the id of a visible window whose title matches now, or nothing.
e2e_visible() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1
}

e2e__shows() { E2E_FOUND=$(e2e_visible "$1") && [ -n "$E2E_FOUND" ]; }

# e2e_window PATTERN: waits for a visible window whose title matches and prints its id; fails,
# printing nothing, when none shows.
e2e_window() {
  e2e_until e2e__shows "$1" || return 1
  echo "$E2E_FOUND"
}

# e2e_wait_window TITLE: the id of the visible window with exactly that title; dies if none shows.
e2e_wait_window() {
  e2e_window "^$1\$" || e2e_die "no window titled '$1'"
}

# The state is read whole before it is searched: grep -q leaves early, and a writer cut off
# mid-way would fail the pipe under pipefail and read as closed.
e2e__unmapped() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 0
  ! grep -q 'Map State: IsViewable' <<<"$info"
}

# e2e_gone WINDOW: waits until it is closed (hidden or destroyed).
e2e_gone() {
  e2e_until e2e__unmapped "$1" || e2e_die "window $1 did not close"
}

# No window manager runs on the screen: nothing gives a window the keyboard but us, and Qt runs
# shortcuts only in the window that has it.
e2e__focused() {
  [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ] && return 0
  xdotool windowfocus "$1" 2>/dev/null
  return 1
}

# e2e_focus WINDOW: waits until the keyboard's input goes to it.
e2e_focus() {
  e2e_until e2e__focused "$1" || e2e_die "window $1 did not take the keyboard"
}

# e2e_press WINDOW KEY...: the keys, into that window once it has the keyboard.
e2e_press() {
  local win=$1
  shift
  e2e_focus "$win"
  xdotool key "$@"
}

# e2e_click WINDOW X Y [BUTTON]: a click at a point of the window given in twips (15 a pixel), as
# the layout places the controls; X and Y may be sums. The pointer goes where sent, focus or not.
e2e_click() {
  xdotool mousemove --window "$1" $((($2) / 15)) $((($3) / 15)) click "${4:-1}"
}

# e2e_shot NAME: with PELORIN_SHOTS set to a folder, a picture of the screen saved there.
e2e_shot() {
  [ -z "${E2E_SHOTS:-}" ] || import -window root "$E2E_SHOTS/$1.png"
}

# e2e_answer TITLE [PICTURE]: the message box with that title shows; Return presses its default
# button, and the box closes.
e2e_answer() {
  local box
  box=$(e2e_wait_window "$1")
  e2e_focus "$box"
  [ -z "${2:-}" ] || e2e_shot "$2"
  xdotool key Return
  e2e_gone "$box"
}

# e2e_launch PROGRAM: starts it in the background as $pid, its output in $HOME/program.log; it
# is ended when the calling shell exits.
e2e_launch() {
  "$1" >"$HOME/program.log" 2>&1 &
  pid=$!
  trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' EXIT
}

# e2e_alive: dies when the program started by e2e_launch has ended.
e2e_alive() {
  kill -0 "$pid" 2>/dev/null || e2e_die "the program ended early"
}

# e2e_wait_end PID: waits for the process to end and returns its status; 124 when it is still
# running after E2E_TIMEOUT seconds.
e2e_wait_end() {
  e2e_until e2e__ended "$1" || return 124
  wait "$1"
}
e2e__ended() { ! kill -0 "$1" 2>/dev/null; }

# e2e_arabic_keyboard: makes Arabic the screen's keyboard layout; run on the virtual screen before
# the program starts, and type Arabic with e2e_type_arabic.
e2e_arabic_keyboard() {
  setxkbmap -layout ara && setxkbmap -query | grep -qx 'layout: *ara' ||
    e2e_die "setxkbmap could not set the Arabic layout"
}

# e2e_type_arabic TEXT: types it into the focused window key by key. `xdotool type` sends each
# Arabic letter as a Unicode keysym that no layout holds, binding it to a spare key for a moment;
# under load the program reads that key before it learns the binding and the letter is lost. The
# Arabic letters' own keysyms (U+0621..U+064A are 0x5c1..0x5ea) are on keys of the Arabic layout,
# and so are the short vowels, shadda and sukun (U+064B..U+0652, 0x5eb..0x5f2, on shifted keys).
e2e_type_arabic() {
  local text=$1 keys=() i ch cp
  for ((i = 0; i < ${#text}; i++)); do
    ch=${text:i:1}
    cp=$(printf '%d' "'$ch")
    if [ "$ch" = " " ]; then
      keys+=(space)
    elif ((cp >= 0x621 && cp <= 0x652)); then
      keys+=("$(printf '0x%x' $((cp - 0x60)))")
    else
      e2e_die "no Arabic key for '$ch'"
    fi
  done
  xdotool key --delay 60 "${keys[@]}"
}

# e2e_type_into WINDOW X Y TEXT: clicks the box at that point (twips) and types TEXT over what it
# holds, selected again with keys every layout has (the Arabic one has no Latin "a"). Arabic
# goes through e2e_type_arabic, anything else through xdotool's typing.
e2e_type_into() {
  e2e_focus "$1"
  e2e_click "$1" "$2" "$3"
  xdotool key End shift+Home
  if [[ $4 =~ [a-zA-Z] ]]; then
    xdotool type --delay 60 "$4"
  else
    e2e_type_arabic "$4"
  fi
}
