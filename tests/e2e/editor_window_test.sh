#!/bin/sh
# The editor in the real window under its own Xvfb: `brimvale --edit FILE` on
# level 1 as text, a glyph typed and a cell clicked (xdotool), Ctrl+S; FILE
# then holds the changed board with the moves `brimvale-tool solve` finds,
# and the window title shows them; t and a winning key sequence win the test
# play. Skipped (77) without Xvfb or xdotool. Usage: GAME TOOL DATA SOURCE
set -u
game=$1 tool=$2 data=$3 source=$4
command -v Xvfb > /dev/null && command -v xdotool > /dev/null || { echo "skip: no Xvfb or xdotool"; exit 77; }
work=$(mktemp -d /tmp/brimvale-editor-XXXXXX)
xvfb=
gamepid=
cleanup() {
  [ -n "$gamepid" ] && kill "$gamepid" 2> /dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Xvfb picks a free display and writes its number once it is ready.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$work/displayfd" 2> "$work/xvfb.log" &
xvfb=$!
read -r number < "$work/displayfd" || fail "Xvfb did not start"
export DISPLAY=":$number"

# Level 1 of the shipped set, alone, as level text.
awk '/^title / { if (on) exit; on = 1 } on' "$source/data/levels/01-first-steps.txt" > "$work/level.txt"
grep -q '^title Turn, Then Roll' "$work/level.txt" || fail "no level 1 in the shipped set"
"$game" --data "$data" --edit "$work/level.txt" > "$work/game.log" 2>&1 &
gamepid=$!
window=$(xdotool search --sync --limit 1 --name "Brimvale editor" 2> /dev/null | head -n 1)
[ -n "$window" ] || fail "no editor window"
title() { xdotool getwindowname "$window"; }
# Waits (up to a minute, on the title) until the title holds $1.
await() {
  n=0
  until title | grep -q -- "$1"; do
    n=$((n + 1))
    [ $n -gt 600 ] && fail "the title never showed '$1' (it shows '$(title)')"
    xdotool sleep 0.1
  done
}
await "wins in 21 presses"
echo "ok: the editor opened level 1 with its verdict: $(title)"

# '%' (a brick wall) typed, then a click on cell (8, 5) of the corridor.
xdotool windowfocus --sync "$window" 2> /dev/null
xdotool type --window "$window" '%'
xdotool mousemove --window "$window" 204 132 click 1
# Changed (the title's star), then the new board's verdict.
await 'level.txt\*, .*wins in'
xdotool key --window "$window" ctrl+s
await "level.txt, "
row=$(sed -n '/^moves/,$p' "$work/level.txt" | sed -n '7p')
[ "$row" = "####T...%...####" ] || fail "the saved row 5 is '$row'"
moves=$(sed -n 's/^moves //p' "$work/level.txt")
"$tool" levels build "$work/level.txt" -o "$work/level.lvl" > /dev/null || fail "the saved text does not build"
solved=$("$tool" solve --data "$data" --levels "$work/level.lvl" --level 0)
echo "$solved" | grep -q "solved $moves " || fail "saved moves $moves, the solver: $solved"
title | grep -q "wins in $moves presses" || fail "the title '$(title)' does not show $moves"
echo "ok: saved the changed board with moves $moves, as solve finds, and the title shows it"
# A picture of the window for people to look at, when asked for.
[ -n "${EDITOR_SHOT:-}" ] && import -window "$window" "$EDITOR_SHOT" 2> /dev/null

# Test play: t, then the solver's win.
xdotool type --window "$window" 't'
await "test play"
keys=$(echo "$solved" | sed 's/^level 0 solved [0-9]* //')
for k in $keys; do
  case $k in Space) k=space ;; esac
  xdotool key --window "$window" "$k"
done
await "test play won in $moves presses"
echo "ok: test play won in $moves presses"
xdotool key --window "$window" Escape 2> /dev/null
await "wins in $moves presses"
xdotool key --window "$window" Escape 2> /dev/null
n=0
while kill -0 "$gamepid" 2> /dev/null; do
  n=$((n + 1)); [ $n -gt 300 ] && fail "the editor did not leave on Escape"; xdotool sleep 0.1
done
wait "$gamepid"
status=$?
gamepid=
[ $status -eq 0 ] || fail "the game ended with status $status"
echo "ok: Escape left the saved editor"
