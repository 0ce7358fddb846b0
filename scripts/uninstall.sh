#!/usr/bin/env bash
# Removes what `make install` put into PREFIX, as listed in the list the install left beside the
# program. The ledger DataBook.mdb and whatever the program wrote beside it stay.
#
#   scripts/uninstall.sh PREFIX
set -euo pipefail
prefix=${1:?usage: uninstall.sh PREFIX}
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac
prefix=${prefix%/}
folder="$prefix/lib/pelorin"
manifest="$folder/install-manifest.txt"
if [ ! -f "$manifest" ]; then
  echo "uninstall: Pelorin is not installed in $prefix (there is no $manifest); nothing was removed"
  exit 0
fi

removed=0
while IFS= read -r file; do
  [ -n "$file" ] || continue
  case "$file" in
    "$prefix"/*) ;;
    *) echo "uninstall: $file lies outside $prefix; left alone" >&2; continue ;;
  esac
  # Only the program's own files: never the ledger or anything in a folder beside it.
  if [ "${file#"$folder"/}" != "$file" ]; then
    case "${file#"$folder"/}" in DataBook.mdb* | */*) continue ;; esac
  fi
  if [ -f "$file" ] || [ -L "$file" ]; then
    rm -f -- "$file" && removed=$((removed + 1))
  fi
done <"$manifest"
rm -f -- "$manifest"

echo "uninstall: removed $removed files of Pelorin from $prefix"
if [ -e "$folder/DataBook.mdb" ]; then
  echo "uninstall: your ledger stays in $folder/DataBook.mdb, with anything Pelorin kept beside it;"
  echo "uninstall: installing again uses it, and removing the folder $folder deletes it for good"
fi
