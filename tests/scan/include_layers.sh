#!/bin/sh
# Checks that every include of the product code points down the layer table
# of docs/architecture.md: its rows "| N | `folder/`, ... | ... |" give each
# folder its layer, and a folder's sub-folders (`tools/art/`) have layers of
# their own among themselves. A file may include its own folder and folders
# of a lower layer only: never a folder of its own layer or above, and never
# a folder the table does not name. tests/, bench/ and fuzz/ sit above
# everything and are not checked.
# Usage: sh tests/scan/include_layers.sh [SOURCE_DIR]
# Prints each include that points up (file:line) and fails; else one line
# with the figures.
set -eu
top=${1:-.}
cd "$top"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files -- '*.cpp' '*.h')
else
  files=$(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||')
fi
files=$(printf '%s\n' "$files" | grep -v -E '^(tests|bench|fuzz)/' | sort)
status=0
[ -f docs/architecture.md ] || { echo "include_layers: no docs/architecture.md in $top"; exit 2; }

# One line per include: "file line included-path".
printf '%s\n' "$files" | while read -r f; do
  [ -n "$f" ] || continue
  # sed prints each line's number, then the folder path it includes, if any.
  sed -n -e '=' -e 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f" |
    awk -v f="$f" '/^[0-9]+$/ { n = $0; next } { print f, n, $0 }'
done > "${TMPDIR:-/tmp}/include_layers.$$"

awk -v list="${TMPDIR:-/tmp}/include_layers.$$" '
# The folder in the table of a file or include path; "" when the table names none
# (a folder with layered sub-folders, like tools/, holds no files of its own).
function folderOf(path,    parts, n) {
  n = split(path, parts, "/")
  if (n < 2 || !(parts[1] in rank)) return ""
  if (!(parts[1] in parent)) return parts[1]
  if (n < 3 || !((parts[1] "/" parts[2]) in rank)) return ""
  return parts[1] "/" parts[2]
}
# Rows of the layer tables: a number, then the folders in backquotes.
FILENAME != list && /^\|[[:space:]]*[0-9]+[[:space:]]*\|/ {
  split($0, cell, "|")
  layer = cell[2] + 0
  rest = cell[3]
  while (match(rest, /`[^`]*\/`/)) {
    folder = substr(rest, RSTART + 1, RLENGTH - 3)
    rank[folder] = layer
    if (index(folder, "/")) { p = folder; sub(/\/[^\/]*$/, "", p); parent[p] = 1 }
    rest = substr(rest, RSTART + RLENGTH)
  }
  next
}
FILENAME == list {
  file = $1; line = $2; inc = $3
  ++includes
  from = folderOf(file)
  if (from == "") { unknown[file] = 1; next }
  if (index(inc, "/") == 0) next  # a header beside the file
  to = folderOf(inc)
  if (to == "") {
    # A system header written with quotes would have no folder of ours.
    split(inc, first, "/")
    if ((first[1] in rank) || system("test -e \"" inc "\"") == 0) {
      printf "%s:%s: includes %s, in a folder the layer table does not name\n", file, line, inc; ++bad
    }
    next
  }
  if (from == to) next
  nf = split(from, a, "/"); nt = split(to, b, "/")
  ka = ""; kb = ""
  for (i = 1; i <= nf && i <= nt; ++i) {
    ka = (i == 1) ? a[1] : ka "/" a[i]
    kb = (i == 1) ? b[1] : kb "/" b[i]
    if (a[i] != b[i]) break
  }
  if (a[i] == b[i] || rank[kb] >= rank[ka]) {
    printf "%s:%s: includes %s: %s/ (layer %d) may include only folders below it, and %s/ is layer %d\n",
           file, line, inc, ka, rank[ka], kb, rank[kb]
    ++bad
  }
  next
}
END {
  for (f in unknown) { printf "%s: in a folder the layer table does not name\n", f; ++bad }
  if (length(rank) == 0) { print "include_layers: no layer table found in docs/architecture.md"; exit 2 }
  if (bad) { printf "include_layers: %d includes or files break the layer table\n", bad; exit 1 }
  n = 0; for (k in rank) ++n
  printf "include_layers: %d includes, every one within its folder or pointing down (%d folders in the table)\n", includes, n
}' docs/architecture.md "${TMPDIR:-/tmp}/include_layers.$$" || status=$?
rm -f "${TMPDIR:-/tmp}/include_layers.$$"
exit $status
