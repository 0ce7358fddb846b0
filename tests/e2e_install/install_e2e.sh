#!/usr/bin/env bash
# Installs the built program into a scratch prefix (with a space in its name): the tree, its
# modes, the validators; the installed launcher in an English session records a loan; installing
# again, `make clean` and `make uninstall` keep the ledger. Then the carry-over of an earlier
# build's ledger, and the refusal of a prefix the user cannot write.
#
#   install_e2e.sh BUILD_FOLDER MAKE_DATABOOK        (exit 77: skipped, no virtual X server here)
set -euo pipefail
# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 make_databook=$2
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$build/bin"
e2e_session pelorin-install
export LANG=en_US.UTF-8
prefix="$work/a prefix" id=org.example.Pelorin
folder="$prefix/lib/pelorin"
export DB="$folder/DataBook.mdb"
fail=0
problem() { echo "e2e: $*" >&2; fail=1; }
mode() { stat -c %a "$1"; }
rows() { e2e_sql "$1" "SELECT group_concat(NameBook, ',') FROM TableBook;"; }

bash "$root/scripts/install.sh" "$build" "$prefix" >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
for side in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format %wx%h "$prefix/share/icons/hicolor/${side}x$side/apps/$id.png")" = "${side}x$side" ] ||
    problem "no $side px icon"
done
[ -x "$prefix/bin/pelorin" ] && [ -x "$folder/Pelorin" ] && [ -x "$folder/pelorin_access_reader" ] &&
  [ -s "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] ||
  problem "the launcher, the program, its Access reader or the scalable icon is missing"
[ "$(mode "$folder") $(mode "$DB") $(rows "$DB")" = "700 600 " ] || problem "folder, empty ledger: $(mode "$folder") $(mode "$DB")"
grep -qx 'Install=1' "$E2E_INI" || problem "the install did not record Install=1"
desktop-file-validate "$prefix/share/applications/$id.desktop" || problem "desktop-file-validate refused the entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/log" 2>&1 ||
  { cat "$work/log" >&2; problem "appstreamcli refused the metainfo"; }
grep -qxF "Exec=\"$prefix/bin/pelorin\"" "$prefix/share/applications/$id.desktop" || problem "the entry's Exec is wrong"

# The installed launcher in an English session: title, author, borrower, both dates (the picker
# saves today on Enter), Add, and the confirmation. Positions in twips of the window.
record() {
  set -euo pipefail
  local main
  e2e_launch "$1"
  export LC_ALL=C.UTF-8 # for the tools that read Arabic window titles
  main=$(e2e_window '^Pelorin$') || e2e_die "the launcher showed no ledger"
  e2e_type_into "$main" 8885 800 Dune
  e2e_type_into "$main" 6125 800 Herbert
  e2e_type_into "$main" 3200 800 Salem
  e2e_click "$main" 6765 1380
  e2e_answer "اختيار تاريخ الإعارة"
  e2e_click "$main" 3555 1380
  e2e_answer "اختيار تاريخ الرد"
  e2e_click "$main" 4725 2007
  e2e_answer تنبيه
  e2e_expect 1 "the ledger's rows" e2e_sql "$DB" "SELECT count(*) FROM TableBook;"
}
e2e_on_screen record "$prefix/bin/pelorin" || problem "the installed program did not record a loan"
[ "$(e2e_sql "$DB" "SELECT NameBook||NameWriter||NameBorrower FROM TableBook;")" = DuneHerbertSalem ] ||
  problem "the installed ledger holds no typed loan"

# Installing again upgrades the program and keeps the ledger as its owner left it.
chmod 640 "$DB"
before=$(sha256sum <"$DB")
touch -d 2001-01-01 "$folder/Pelorin"
bash "$root/scripts/install.sh" "$build" "$prefix" >"$work/log" 2>&1 || problem "installing again failed"
[ "$(sha256sum <"$DB") $(mode "$DB")" = "$before 640" ] || problem "installing again changed the ledger or its mode"
[ "$(stat -c %Y "$folder/Pelorin")" -gt 978400000 ] || # 2001-01-02
  problem "installing again did not replace the program"

# make clean (of a build folder) and make uninstall leave it; uninstall removes the rest.
mkdir -p "$work/scratch/bin"
make -s -C "$root" clean BUILD_DIR="$work/scratch" && [ ! -e "$work/scratch" ] || problem "make clean failed"
installed=$(grep -v '/install-manifest.txt$' "$folder/install-manifest.txt")
make -s -C "$root" uninstall PREFIX="$prefix" >"$work/log" || problem "make uninstall failed"
grep -qF "$DB" "$work/log" || problem "uninstall did not say where the ledger stays"
while IFS= read -r f; do [ ! -e "$f" ] || problem "uninstall left $f"; done <<<"$installed"
[ "$(sha256sum <"$DB")" = "$before" ] || problem "uninstall changed the ledger"

# Carry-over: moved when the prefix has none (and make clean keeps it meanwhile); both named when
# both exist; a damaged one stays.
old="$work/old/bin/DataBook.mdb" new="$work/new prefix/lib/pelorin/DataBook.mdb"
mkdir -p "$work/old/bin"
"$make_databook" "$old" >/dev/null
e2e_sql "$old" "INSERT INTO TableBook (NameBook) VALUES ('it''s 100% _mine_');" >/dev/null
make -s -C "$root" clean BUILD_DIR="$work/old" 2>/dev/null && problem "make clean went ahead over a ledger"
bash "$root/scripts/carry-over.sh" "$work/old" "$work/new prefix" | grep -q moved || problem "no carry-over said"
[ ! -e "$old" ] && [ "$(rows "$new") $(mode "$new") $(mode "${new%/*}")" = "it's 100% _mine_ 600 700" ] ||
  problem "the carried ledger: $(rows "$new") $(mode "$new")"
"$make_databook" "$old" >/dev/null
bash "$root/scripts/carry-over.sh" "$work/old" "$work/new prefix" >"$work/log" || problem "two ledgers stopped the run"
grep -qF "$old" "$work/log" && grep -qF "$new" "$work/log" && [ -s "$old" ] && [ "$(rows "$new")" = "it's 100% _mine_" ] ||
  problem "two ledgers were not both named and kept"
head -c 4096 /dev/urandom >"$old"
bash "$root/scripts/carry-over.sh" "$work/old" "$work/third" 2>/dev/null && problem "a damaged ledger was carried"
[ -s "$old" ] && [ ! -e "$work/third/lib/pelorin/DataBook.mdb" ] || problem "a damaged ledger was moved"

# A prefix without rights (as root: run as nobody) is refused before anything is written.
locked=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-locked.XXXXXX")
trap 'rm -rf "$work" "$locked"' EXIT
chmod 755 "$locked"
cp "$root/scripts/install.sh" "$locked/"
mkdir -m 755 "$locked/system" "$locked/home"
as_user=(env)
if [ "$(id -u)" = 0 ]; then
  chown 65534 "$locked/home"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env)
else
  chmod 555 "$locked/system"
fi
"${as_user[@]}" HOME="$locked/home" bash "$locked/install.sh" "$build" "$locked/system/usr" >"$work/log" 2>&1 &&
  problem "an unwritable prefix was accepted"
grep -qF "$locked/home/.local" "$work/log" && [ -z "$(ls -A "$locked/system")" ] ||
  problem "the refusal wrote something or did not name ~/.local: $(cat "$work/log")"

[ "$fail" = 0 ] && echo "e2e: installed, used, re-installed, cleaned and uninstalled; the ledger stayed"
exit "$fail"
