#!/usr/bin/env bash
# Starts the built program on a virtual screen under different sessions and checks which
# window each start shows and how it ends:
#   - a system whose only fonts are Latin shows the language notice, also in an Arabic session,
#     and Escape ends the program;
#   - an English session with Install=1 shows the ledger: an Arabic font is all it takes;
#   - a second start while the ledger runs ends at once and shows nothing;
#   - as root (administrator), a first start shows the support-file installer: refusing ends
#     the program and writes nothing; consenting runs the installer, which records Install=1,
#     and the next start shows the ledger.
#
#   startup_e2e.sh BIN_FOLDER MAKE_DATABOOK        (exit 77: skipped, no virtual X server here)
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: startup_e2e.sh BIN_FOLDER MAKE_DATABOOK}
make_databook=${2:?usage: startup_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_program "$bin_dir"

e2e_session pelorin-e2e-startup
mkdir -p "$work/temp"
cp -r "$bin_dir" "$work/bin"
"$make_databook" "$work/bin/DataBook.mdb" >/dev/null
LATIN_FONTS=$(cd "$(dirname "$0")/../startup" && pwd)/latin_fonts.conf
export LATIN_FONTS
# The payload's own package check, so that the consent step never installs anything here.
payload_source=$(cd "$(dirname "$0")/../../startup/payload" && pwd)/setup_support.sh
payload_ready=1
packages=$(sed -n 's/^PACKAGES="\(.*\)"$/\1/p' "$payload_source")
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || payload_ready=0
done
[ -n "$(fc-list :lang=ar family 2>/dev/null)" ] || payload_ready=0

export TEMP=$work/temp
export PAYLOAD_READY=$payload_ready PAYLOAD_SOURCE=$payload_source
unset TMPDIR PKEXEC_UID SUDO_UID

# On the screen: the starts, one after the other; every fault is counted, not fatal.
steps() {
  set -u
  [ -z "${E2E_TRACE:-}" ] || set -x
  local program ini fail log notice ledger installer wid first lang box p
  program=$1
  ini=$E2E_INI
  fail=0
  log=$HOME/program.log
  notice='^Pelorin - Does not support Arabic$'
  ledger='^Pelorin$'
  installer='^تنصيب الملفات اللازمة لتشغيل البرنامج$'

  problem() { echo "e2e: $*" >&2; [ -s "$log" ] && sed 's/^/  program: /' "$log" >&2; fail=1; }
  setting() { sed -n "s/^$1=//p" "$ini" 2>/dev/null | tail -n1; }
  start() { LANG=$1 "$program" >"$log" 2>&1 & pid=$!; }
  stop() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
  # showing LANG PATTERN COMPLAINT: starts a copy in that session and waits for its window as
  # $wid; fails with COMPLAINT when none shows.
  showing() {
    start "$1"
    wid=$(e2e_window "$2") || { problem "$3"; return 1; }
  }
  # ends COMPLAINT: the copy must end, with status 0.
  ends() {
    local status=0
    e2e_wait_end "$pid" || status=$?
    [ "$status" = 0 ] || problem "$1 (status $status)"
  }

  # 0. The set-up's tool writes the store the program reads, keeping what is there.
  e2e_set_ini '[Setting]' 'AsAdmin=0'
  "$(dirname "$program")/pelorin-settings" Install 1 || problem "pelorin-settings failed"
  if [ "$(setting Install)" != 1 ] || [ "$(setting AsAdmin)" != 0 ]; then
    problem "pelorin-settings wrote: $(cat "$ini")"
  fi
  "$(dirname "$program")/pelorin-settings" Install 2>/dev/null && problem "pelorin-settings took a key without a value"

  # 1. Only Latin fonts, even in an Arabic session: the notice; Escape ends the program.
  export FONTCONFIG_FILE=$LATIN_FONTS
  if showing ar_SA.UTF-8 "$notice" "the language notice did not appear without an Arabic font"; then
    [ -z "$(e2e_visible "$ledger")" ] || problem "a system without an Arabic font showed the ledger"
    e2e_press "$wid" Escape
    ends "Escape on the notice did not end the program"
    [ "$(setting AsAdmin)" = 1 ] || problem "AsAdmin is '$(setting AsAdmin)' after the notice"
  fi
  stop
  # ... and so does the close image at the right end of its header.
  if showing en_US.UTF-8 "$notice" "the language notice did not appear the second time"; then
    e2e_click "$wid" 416*15 11*15
    ends "the close image of the notice did not end the program"
  fi
  stop
  unset FONTCONFIG_FILE

  # 2. English session with Install=1: the ledger; 3. a second start ends at once, showing nothing.
  e2e_set_ini '[Setting]' 'Install=1'
  if showing en_US.UTF-8 "$ledger" "the ledger did not appear in an English session"; then
    [ "$(setting AsAdmin)" = 1 ] || problem "AsAdmin is '$(setting AsAdmin)' after the ledger start"
    first=$pid
    for lang in ar_SA.UTF-8 en_US.UTF-8; do
      LANG=$lang "$program" >"$HOME/second.log" 2>&1 & pid=$!
      ends "a second start ($lang) did not end at once"
      [ -z "$(e2e_visible "$notice")" ] || problem "a second start ($lang) showed the notice"
      [ "$(xdotool search --onlyvisible --name "$ledger" | wc -l)" = 1 ] || problem "a second start ($lang) showed a window"
      kill -0 "$first" 2>/dev/null || problem "the first copy ended when a second one started"
    done
    pid=$first
  fi
  stop

  # 4. The first-run installer, only where this session has administrator rights.
  if [ "$(id -u)" = 0 ]; then
    e2e_set_ini '[Setting]' 'AsAdmin=1'
    if showing ar_SA.UTF-8 "$installer" "the installer window did not appear on a first start with rights"; then
      e2e_click "$wid" 73*15 140*15   # "لا أوافق"
      ends "refusing did not end the program"
      [ -z "$(ls -A "$TEMP")" ] || problem "refusing wrote into the temporary folder: $(ls -A "$TEMP")"
    fi
    stop
    # The close image refuses the same way.
    if showing ar_SA.UTF-8 "$installer" "the installer window did not appear for the close image"; then
      e2e_click "$wid" 255*15 11*15
      ends "the installer's close image did not end the program"
      [ -z "$(ls -A "$TEMP")" ] || problem "the close image wrote into the temporary folder"
    fi
    stop

    if [ "$PAYLOAD_READY" = 1 ]; then
      if showing ar_SA.UTF-8 "$installer" "the installer window did not appear the second time"; then
        e2e_click "$wid" 191*15 140*15   # "نعم أوافق"
        if ! box=$(e2e_window '^تنبيه$'); then
          problem "no message after consenting"
        else
          { [ -x "$TEMP/setupHalvek.exe" ] && cmp -s "$TEMP/setupHalvek.exe" "$PAYLOAD_SOURCE"; } ||
            problem "the installer was not written to $TEMP byte for byte with its run bit"
          e2e_press "$box" Return
          ends "the program did not end after the message"
          installed() { [ "$(setting Install)" = 1 ]; }
          e2e_until installed || true
          [ "$(setting Install)" = 1 ] || problem "the installer did not record Install=1: $(cat "$ini")"
          [ "$(setting AsAdmin)" = 1 ] || problem "the installer lost AsAdmin: $(cat "$ini")"
        fi
      fi
      stop
      showing ar_SA.UTF-8 "$ledger" "the start after the installer did not show the ledger"
      stop
    else
      echo "e2e: run-time packages missing here; the consent step is not tried"
    fi
  else
    echo "e2e: not root; the installer steps need administrator rights and are not tried"
  fi
  exit $fail
}
e2e_on_screen steps "$work/bin/Pelorin"
