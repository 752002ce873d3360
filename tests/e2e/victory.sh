#!/usr/bin/env bash
# A whole mission won through the real game: the route tool plays the generated level (walks to
# the letters in the word's order around the scenery, shooting every enemy that comes within
# 200 units) and the game replays its script. The traces agree frame for frame; each letter is
# collected at its place in the level file, in order, with the health back at 100 in that
# frame; every enemy met is dead; the victory box is the last line on standard error; exit 0.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
STEP=40

play_mission victory "VICTORY !: Letters collected. Mission successful." "DEFEAT !"

# The letters of the level file in id order: model name (K.md2 ...), x and z.
mapfile -t letters < <(awk 'NR > 1 && $2 == "Letters" { print substr($3, 1, 1), $(NF-5), $(NF-3) }' \
    "$build/Data/Levels/Level01.olv")
[ "${#letters[@]}" -eq 5 ] || fail "the level has ${#letters[@]} letters"
# The frames where the count of letters changed: frame, letters, position, health before, after.
awk "$trace_awk"'{ n = f("letters") + 0; h = f("health") + 0
       if (n != last) print f("frame"), n, f("pos"), before, h
       last = n; before = h }' before=100 last=0 "$trace" > "$work/pickups.txt"
order=""
previous=0
refills=0
while read -r frame n pos before after; do
    [ "$n" -eq $((previous + 1)) ] || fail "letters went from $previous to $n at frame $frame"
    read -r name lx lz <<< "${letters[$((n - 1))]}"
    awk -v a="${pos%%,*}" -v b="${pos##*,}" -v x="$lx" -v z="$lz" 'BEGIN { exit !((a-x)^2 + (b-z)^2 < 50^2) }' ||
        fail "letter $name collected at $pos, away from its place $lx,$lz"
    [ "$after" -eq 100 ] || fail "health not refilled at letter $name (frame $frame): $after"
    order+=$name
    previous=$n
    [ "$before" -lt 100 ] && refills=$((refills + 1))
    echo "letter $name: frame $frame at $pos, health $before -> $after"
done < "$work/pickups.txt"
[ "$order" = "KWERT" ] || fail "letters collected in the order $order"
# Enemy fire on the way: at least one letter must have refilled a wounded player.
[ "$refills" -ge 1 ] || fail "the player was never wounded before a letter: no refill to see"

enemies=$(field "$(tail -n 1 "$trace")" enemies)
lowest=$(trace_values health | awk 'NR == 1 || $1 + 0 < m { m = $1 + 0 } END { print m }')
[ "$lowest" -gt 0 ] || fail "the player's health reached 0"
# Enemies are id:state:health:x,z. Every enemy that woke (state 1 on some frame) ends shot dead
# (state 16, health 0).
woke=$(trace_values enemies | tr ';' '\n' | awk -F: '$2 == 1 { print $1 }' | sort -u)
[ -n "$woke" ] || fail "no enemy ever woke"
for id in $woke; do
    echo "$enemies" | tr ';' '\n' | grep -q "^$id:16:0:" || fail "enemy $id woke but is not dead: $enemies"
done
dead=$(echo "$woke" | wc -l)
echo "victory: $(frames) frames of $STEP ms replayed in $GAME_SECONDS s; traces identical;" \
    "$dead enemies woke and were shot dead; $refills letters refilled a wounded player;" \
    "lowest health $lowest; exit 0"
