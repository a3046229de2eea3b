#!/bin/sh
# Lists the mutable file-scope variables of the product code (every .cpp of
# app/ assets/ common/ game/ platform/ render/ solver/ start/ tools/ ui/): non-const variables at
# namespace or file scope and static data members, as clang parses them
# (a reference to a constant table is not one).
# Prints one "file:line name" per variable, then the count. Run from the
# top of the source tree: sh tests/scan/file_scope_state.sh
set -eu
query=${CLANG_QUERY:-clang-query}
web=/usr/share/emscripten/cache/sysroot/include
matcher='varDecl(hasGlobalStorage(), unless(isStaticLocal()), isDefinition(),
  unless(isExpansionInSystemHeader()), unless(matchesName("__em_js")),
  unless(hasType(isConstQualified())),
  unless(hasType(references(qualType(isConstQualified())))),
  unless(hasType(arrayType(hasElementType(isConstQualified())))))'
for f in $(find app assets common game platform render solver start tools ui -name '*.cpp' | sort); do
  extra=""
  case $f in platform/web.cpp) extra="-D__EMSCRIPTEN__ -isystem $web" ;; esac
  "$query" -c "set output diag" -c "match $(echo "$matcher" | tr '\n' ' ')" "$f" -- \
    -std=c++17 -I. -I/usr/include/stb $extra 2>/dev/null |
    sed -n 's/^\([^ ]*\):\([0-9]*\):[0-9]*: note: "root" binds here$/\1:\2/p'
done | sort -u | while read -r at; do
  file=${at%%:*}; line=${at##*:}
  echo "$at $(sed -n "${line}p" "$file" | sed 's/^ *//; s/ *=.*//; s/;.*//')"
done | sort -u > "${TMPDIR:-/tmp}/file_scope_state.$$"
cat "${TMPDIR:-/tmp}/file_scope_state.$$"
echo "count: $(wc -l < "${TMPDIR:-/tmp}/file_scope_state.$$")"
rm -f "${TMPDIR:-/tmp}/file_scope_state.$$"
