#!/usr/bin/env bash
# Installs the built program into a scratch prefix (with a space in its name) and checks:
#   - the tree, its modes, the first-run setting, and the desktop entry and metainfo under the
#     real validators;
#   - the installed launcher, started in an English session on a virtual screen, shows the
#     ledger, and a loan typed into it lands in the installed ledger;
#   - installing again keeps the ledger and its mode; `make clean` and `make uninstall` leave it,
#     and uninstall removes every other installed file;
#   - a ledger of the earlier layout (BUILD/bin) is carried over only when the prefix has none,
#     both are named when both exist, a damaged one stays where it is, and `make clean` keeps it;
#   - a prefix the user cannot write is refused before anything is written, naming ~/.local.
#
#   install_e2e.sh BUILD_FOLDER MAKE_DATABOOK        (exit 77: skipped, no virtual X server here)
set -euo pipefail

source "$(dirname "$0")/../support/e2e_lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?usage: install_e2e.sh BUILD_FOLDER MAKE_DATABOOK}
make_databook=${2:?usage: install_e2e.sh BUILD_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$build/bin"
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (run: make deps-test)" >&2; exit 1; }
done

e2e_session pelorin-install
export LANG=en_US.UTF-8
prefix="$work/a prefix"
folder="$prefix/lib/pelorin"
export DB="$folder/DataBook.mdb"
fail=0
problem() { echo "e2e: $*" >&2; fail=1; }
mode() { stat -c %a "$1"; }
sql() { e2e_sql "$1" "${@:2}"; }

# 1. The installed tree.
bash "$root/scripts/install.sh" "$build" "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }
id=org.example.Pelorin
for f in lib/pelorin/Pelorin bin/pelorin share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg; do
  [ -s "$prefix/$f" ] || problem "$f is not installed"
done
for side in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${side}x$side/apps/$id.png"
  [ "$(identify -format %wx%h "$png" 2>/dev/null)" = "${side}x$side" ] || problem "no $side px icon"
done
[ -x "$prefix/bin/pelorin" ] && [ -x "$folder/Pelorin" ] || problem "the launcher or the program cannot be run"
[ "$(mode "$folder")" = 700 ] || problem "the program folder has mode $(mode "$folder")"
[ "$(mode "$DB")" = 600 ] || problem "the ledger has mode $(mode "$DB")"
[ "$(sql "$DB" "SELECT count(*) FROM TableBook;")" = 0 ] || problem "the delivered ledger is not empty"
grep -qx 'Install=1' "$E2E_INI" || problem "the install did not record Install=1"
desktop-file-validate "$prefix/share/applications/$id.desktop" || problem "desktop-file-validate refused the entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; problem "appstreamcli refused the metainfo"; }
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
[ "$exec_line" = "\"$prefix/bin/pelorin\"" ] || problem "the entry starts [$exec_line]"

# 2. The installed launcher in an English session: the ledger, and a loan typed into it.
status=0
e2e_screen bash -s "$prefix/bin/pelorin" <<'ON_SCREEN' || status=$?
set -u
source "$E2E_LIB"
die() { echo "e2e: $*" >&2; cat "$HOME/program.log" >&2; exit 1; }
e2e_launch "$1"
# The program runs in the English session; the tools that read Arabic titles need a UTF-8 locale.
export LC_ALL=C.UTF-8
main=$(e2e_window '^Pelorin$' 30)
[ -n "$main" ] || die "the installed launcher did not show the ledger"
xdotool windowactivate --sync "$main" 2>/dev/null || true
click() { xdotool mousemove --window "$main" $(($1 / 15)) $(($2 / 15)) click 1; sleep 0.3; }
# The entry boxes (title, author, borrower) and Add, in twips of the window.
for box in "8885 800 Dune" "6125 800 Herbert" "3200 800 Salem"; do
  set -- $box
  click "$1" "$2"
  xdotool key End shift+Home
  xdotool type --delay 60 "$3"
done
for picker in "6765 1380" "3555 1380"; do # loan and return dates: the picker saves today on Enter
  click $picker
  e2e_window 'تاريخ' 10 >/dev/null
  sleep 0.3
  xdotool key Return
  sleep 0.5
done
click 4725 2007
box=$(e2e_window '^تنبيه$' 10)
[ -n "$box" ] || die "no confirmation after Add"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key Return
for _ in $(seq 1 50); do
  [ "$(e2e_sql "$DB" "SELECT count(*) FROM TableBook;" 2>/dev/null)" = 1 ] && exit 0
  sleep 0.1
done
die "the loan did not reach the installed ledger"
ON_SCREEN
[ "$status" = 0 ] || problem "the installed program did not record the loan"
loan=$(sql "$DB" "SELECT NameBook||'|'||NameWriter||'|'||NameBorrower FROM TableBook;")
[ "$loan" = "Dune|Herbert|Salem" ] || problem "the installed ledger holds [$loan]"

# 3. Installing again upgrades the program and keeps the ledger as its owner left it.
chmod 640 "$DB"
before=$(sha256sum <"$DB")
touch -d '2001-01-01' "$folder/Pelorin"
bash "$root/scripts/install.sh" "$build" "$prefix" >"$work/install.log" 2>&1 || problem "installing again failed"
[ "$(sha256sum <"$DB")" = "$before" ] || problem "installing again changed the ledger"
[ "$(mode "$DB")" = 640 ] || problem "installing again changed the ledger's mode to $(mode "$DB")"
[ "$(stat -c %Y "$folder/Pelorin")" -gt "$(date -d 2001-01-02 +%s)" ] && cmp -s "$folder/Pelorin" "$build/bin/Pelorin" ||
  problem "installing again did not replace the program"

# 4. `make clean` (of a build folder) and `make uninstall` leave the ledger.
mkdir -p "$work/scratch-build/bin"
make -s -C "$root" clean BUILD_DIR="$work/scratch-build" || problem "make clean failed"
[ ! -e "$work/scratch-build" ] || problem "make clean left the build folder"
installed=$(grep -v '/install-manifest.txt$' "$folder/install-manifest.txt")
make -s -C "$root" uninstall PREFIX="$prefix" >"$work/uninstall.log" || problem "make uninstall failed"
grep -qF "$DB" "$work/uninstall.log" || problem "uninstall did not say where the ledger stays"
while IFS= read -r f; do [ ! -e "$f" ] || problem "uninstall left $f"; done <<<"$installed"
[ ! -e "$folder/install-manifest.txt" ] || problem "uninstall left its list"
[ "$(sha256sum <"$DB")" = "$before" ] || problem "uninstall changed the ledger"
[ "$(sql "$DB" "SELECT NameBook FROM TableBook;")" = Dune ] || problem "the loan is gone after uninstall"

# 5. The carry-over from an earlier build folder.
old="$work/old-build/bin/DataBook.mdb"
mkdir -p "$(dirname "$old")"
"$make_databook" "$old" >/dev/null
sql "$old" "INSERT INTO TableBook (NameBook) VALUES ('it''s 100% _mine_');" >/dev/null
rows() { sql "$1" "SELECT group_concat(NameBook, ',') FROM TableBook;"; }
make -s -C "$root" clean BUILD_DIR="$work/old-build" 2>/dev/null && problem "make clean went ahead over a ledger"
[ -s "$old" ] || problem "make clean deleted the earlier layout's ledger"
fresh="$work/fresh prefix"
bash "$root/scripts/carry-over.sh" "$work/old-build" "$fresh" >"$work/carry.log" || problem "the carry-over failed"
grep -q "moved" "$work/carry.log" || problem "the carry-over did not say so"
[ ! -e "$old" ] || problem "the carried ledger was left in the build folder"
[ "$(rows "$fresh/lib/pelorin/DataBook.mdb")" = "it's 100% _mine_" ] || problem "the carried ledger lost its row"
[ "$(mode "$fresh/lib/pelorin/DataBook.mdb")" = 600 ] && [ "$(mode "$fresh/lib/pelorin")" = 700 ] ||
  problem "the carried ledger or its folder is not owner-only"
# Both there: nothing changes, and both are named.
"$make_databook" "$old" >/dev/null
bash "$root/scripts/carry-over.sh" "$work/old-build" "$fresh" >"$work/carry.log" || problem "two ledgers stopped the run"
grep -qF "$old" "$work/carry.log" && grep -qF "$fresh/lib/pelorin/DataBook.mdb" "$work/carry.log" ||
  problem "two ledgers were not both named"
[ -s "$old" ] && [ "$(rows "$fresh/lib/pelorin/DataBook.mdb")" = "it's 100% _mine_" ] || problem "two ledgers: one changed"
# A damaged one stays where it is, and nothing appears in the prefix.
head -c 4096 /dev/urandom >"$old"
bash "$root/scripts/carry-over.sh" "$work/old-build" "$work/third" 2>/dev/null && problem "a damaged ledger was carried"
[ -s "$old" ] && [ ! -e "$work/third/lib/pelorin/DataBook.mdb" ] || problem "a damaged ledger was moved"

# 6. A prefix without rights: refused before anything is written, naming the per-user default.
locked=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-locked.XXXXXX")
trap 'rm -rf "$work" "$locked"' EXIT
chmod 755 "$locked"
cp "$root/scripts/install.sh" "$locked/"
mkdir -m 755 "$locked/system" "$locked/home"
if [ "$(id -u)" = 0 ]; then
  chown 65534 "$locked/home"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$locked/home")
else
  chmod 555 "$locked/system"
  as_user=(env HOME="$locked/home")
fi
if "${as_user[@]}" bash "$locked/install.sh" "$build" "$locked/system/usr" >"$work/refusal.log" 2>&1; then
  problem "an unwritable prefix was accepted"
fi
grep -qF "$locked/home/.local" "$work/refusal.log" || problem "the refusal did not name the per-user default: $(cat "$work/refusal.log")"
[ -z "$(ls -A "$locked/system")" ] || problem "the refused install wrote into the prefix"

[ "$fail" = 0 ] && echo "e2e: installed, used, re-installed, cleaned and uninstalled; the ledger stayed"
exit "$fail"
