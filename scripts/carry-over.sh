#!/usr/bin/env bash
# Carries a ledger that an earlier version of the build kept in BUILD/bin over to the installed
# program's folder, when that folder has none: copied, checked to open with the program's key
# and to hold the same rows, and only then removed from the build folder.
#
#   scripts/carry-over.sh BUILD_FOLDER PREFIX     (exit 1: it could not be carried over)
set -euo pipefail
build=${1:?usage: carry-over.sh BUILD_FOLDER PREFIX}
prefix=${2:?usage: carry-over.sh BUILD_FOLDER PREFIX}
old="$build/bin/DataBook.mdb"
folder="$prefix/lib/pelorin"
new="$folder/DataBook.mdb"
key=vqt.lorman.kex

[ -e "$old" ] || exit 0
if [ -e "$new" ] || [ -L "$new" ]; then
  echo "run: there are two ledgers, and neither was changed:"
  echo "run:   $new (the installed program's, which Pelorin uses)"
  echo "run:   $old (from an earlier version of the build)"
  echo "run: to use the second one, close Pelorin and move it over the first yourself"
  exit 0
fi
command -v sqlcipher >/dev/null || { echo "run: the sqlcipher shell is missing (run: make deps)" >&2; exit 1; }

# Everything the ledger holds, as SQL text; also rolls back a transaction a crash left open.
contents() { sqlcipher -batch "$1" "PRAGMA key='$key';" ".dump" 2>/dev/null | sed '1{/^ok$/d}'; }
refuse() {
  echo "run: $old was not carried over and stays where it is: $1" >&2
  exit 1
}

before=$(contents "$old") || refuse "it does not open with Pelorin's key"
# From a here-string, not a pipe: grep -q stops at the first match, and under pipefail the
# writer's broken pipe would read as "no loan table".
grep -q 'CREATE TABLE.*TableBook' <<<"$before" || refuse "it holds no loan table"
for side in journal wal; do
  [ ! -e "$old-$side" ] || refuse "an unfinished change lies beside it ($old-$side)"
done

mkdir -p "$prefix/lib"
[ -d "$folder" ] || mkdir -m 700 "$folder"
part="$folder/DataBook.mdb.carry.$$"
trap 'rm -f "$part"' EXIT
(umask 077 && cp "$old" "$part")
after=$(contents "$part") || refuse "the copy in $folder does not open"
[ "$after" = "$before" ] || refuse "the copy in $folder does not hold the same rows"
# A link is made only where no file is: a ledger that appeared meanwhile is never replaced.
ln "$part" "$new" 2>/dev/null || refuse "$new appeared meanwhile"
rm -f "$part"
rm -f "$old"
loans=$(sqlcipher -batch "$new" "PRAGMA key='$key';" "SELECT count(*) FROM TableBook;" | tail -n1)
[ "$loans" = 1 ] && what="1 loan" || what="$loans loans"
echo "run: your ledger ($what) moved from $old to $new, where the installed Pelorin keeps it"
