#!/usr/bin/env bash
# The delivered database: readable by the sqlcipher shell with the key only, and never overwritten.
set -euo pipefail
maker="$1"
command -v sqlcipher >/dev/null || { echo "no sqlcipher shell"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
db="$dir/DataBook.mdb"
fail() { echo "FAIL: $*"; exit 1; }

"$maker" "$db" >/dev/null
[ -s "$db" ] || fail "no file written"
[ ! -e "$db.new" ] || fail "temporary file left behind"

tables=$(sqlcipher "$db" "PRAGMA key='vqt.lorman.kex'; SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type='table' AND name LIKE 'Table%' ORDER BY name);" | tail -n1)
[ "$tables" = "TableBook,TableSetting" ] || fail "tables: $tables"
rows=$(sqlcipher "$db" "PRAGMA key='vqt.lorman.kex'; SELECT count(*) FROM TableSetting;" | tail -n1)
[ "$rows" = "1" ] || fail "settings rows: $rows"
cols=$(sqlcipher "$db" "PRAGMA key='vqt.lorman.kex'; SELECT group_concat(name, ',') FROM pragma_table_info('TableBook');" | tail -n1)
[ "$cols" = "ID,NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan" ] || fail "columns: $cols"
if sqlcipher "$db" "SELECT count(*) FROM TableBook;" >/dev/null 2>&1; then fail "readable without the key"; fi
if sqlcipher "$db" "PRAGMA key='wrong'; SELECT count(*) FROM TableBook;" >/dev/null 2>&1; then fail "readable with a wrong key"; fi

# The shell writes to it with its own NOCASE collation, and the maker leaves an existing file alone.
sqlcipher "$db" "PRAGMA key='vqt.lorman.kex'; INSERT INTO TableBook (NameBook) VALUES ('كتاب');" >/dev/null
before=$(sha256sum "$db")
"$maker" "$db" >/dev/null
[ "$(sha256sum "$db")" = "$before" ] || fail "an existing file was overwritten"
n=$(sqlcipher "$db" "PRAGMA key='vqt.lorman.kex'; SELECT count(*) FROM TableBook ORDER BY NameBook;" | tail -n1)
[ "$n" = "1" ] || fail "row lost: $n"
echo "delivered database: ok"
