# Shared by the end-to-end scripts that run the built program on a virtual screen. Sourced, by
# the scripts and by the parts of them that run on the screen (they find it through $E2E_LIB).

E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")
export E2E_LIB
E2E_KEY=vqt.lorman.kex

# Without a virtual screen the test is skipped (77), not failed.
e2e_need_screen() {
  local tool
  for tool in Xvfb xvfb-run xdotool; do
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
  export LC_ALL= LC_MESSAGES= QT_QPA_PLATFORM=xcb
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

# e2e_sql DATABASE STATEMENTS...: runs them in the sqlcipher shell with the program's key and
# prints their rows (without the key statement's "ok").
e2e_sql() {
  local db=$1
  shift
  sqlcipher -batch "$db" "PRAGMA key='$E2E_KEY';" "$@" | sed '/^ok$/d'
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
# a number of this run's own, so that tests started together race less for the same one.
e2e_screen() {
  xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24" "$@"
}

# e2e_window PATTERN [SECONDS]: the id of the first visible window whose title matches, waiting
# up to SECONDS (20) for it; nothing when none shows.
e2e_window() {
  timeout "${2:-20}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1 || true
}

# e2e_launch PROGRAM: starts it in the background as $pid, its output in $HOME/program.log; it
# is ended when the calling shell exits.
e2e_launch() {
  "$1" >"$HOME/program.log" 2>&1 &
  pid=$!
  trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' EXIT
}

# e2e_arabic_keyboard: makes Arabic the screen's keyboard layout; run on the virtual screen before
# the program starts, and type Arabic with e2e_type_arabic.
e2e_arabic_keyboard() {
  setxkbmap -layout ara || { echo "e2e: setxkbmap could not set the Arabic layout" >&2; return 1; }
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
      echo "e2e: no Arabic key for '$ch'" >&2
      return 1
    fi
  done
  xdotool key --delay 60 "${keys[@]}"
}
