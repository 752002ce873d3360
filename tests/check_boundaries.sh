#!/usr/bin/env bash
# House rules the compiler cannot see, over every room of tools/layers.txt:
# - every room is a top-level folder, never a folder inside another room's;
# - a file includes headers of its own room and of lower rooms only, never of a room beside it;
# - no file includes itself, directly or round a circle;
# - only platform talks to SDL, and only platform/gl_api.h includes the GL headers.
# Prints each broken rule with the file and line; exit 1 when any is broken.
set -u
root=${1:-.}
cd "$root" || exit 2
status=0
declare -A rank
while read -r r room; do
  [[ -z "$r" || "$r" == \#* ]] && continue
  rank[$room]=$r
done < tools/layers.txt

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
mapfile -t files < <(find "${!rank[@]}" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort -u)
# Every room is a top-level folder, so the tree shows the ranking: a room inside another room's
# folder would hide it there.
for room in "${!rank[@]}"; do
  if [[ $room == */* ]]; then
    echo "$room is a room nested inside ${room%%/*}/, another room's folder: give it a top-level folder"
    status=1
  fi
done
# Every folder that holds sources, at any depth inside a room, is a room of the table.
for dir in $(find "${!rank[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%h\n' 2>/dev/null | sort -u); do
  [ -n "${rank[$dir]:-}" ] || { echo "$dir holds sources but is no room of tools/layers.txt"; status=1; }
done
for file in "${files[@]}"; do
  own=$(dirname "$file")
  while IFS=: read -r line header; do
    target=$(dirname "$header")
    echo "$file $header" >> "$edges"
    # tsort takes a pair of one name as that name alone, not as a loop: say it here.
    [ "$header" = "$file" ] && { echo "$file:$line: includes itself"; status=1; continue; }
    [ "$target" = "$own" ] && continue
    if [ -z "${rank[$target]:-}" ]; then
      echo "$file:$line: includes $header, which is in no room"; status=1
    elif [ "${rank[$target]}" -ge "${rank[$own]}" ]; then
      if [ "${rank[$target]}" -eq "${rank[$own]}" ]; then
        echo "$file:$line: includes $header from $target, a room beside $own (rank ${rank[$own]})"
      else
        echo "$file:$line: includes $header from $target (rank ${rank[$target]}), above $own (rank ${rank[$own]})"
      fi
      status=1
    fi
  done < <(grep -nE '^\s*#\s*include\s*"' "$file" | sed -E 's/^([0-9]+):\s*#\s*include\s*"([^"]+)".*/\1:\2/')
done
# A circle of includes, within a room or across rooms.
if ! tsort "$edges" > /dev/null 2> "$edges.loop"; then
  echo "files include each other round a circle:"; grep -v 'input contains a loop' "$edges.loop"
  status=1
fi
rm -f "$edges.loop"

sdl=$(grep -lE '#\s*include\s*[<"]SDL' "${files[@]}" | grep -v '^platform/')
if [ -n "$sdl" ]; then
  echo "SDL included outside platform:"; echo "$sdl"; status=1
fi
gl=$(grep -lE '#\s*include\s*<GL/' "${files[@]}" | grep -v '^platform/gl_api.h$')
if [ -n "$gl" ]; then
  echo "GL headers included directly (use platform/gl_api.h):"; echo "$gl"; status=1
fi
[ $status -eq 0 ] && echo "layers hold: ${#files[@]} files in ${#rank[@]} rooms"
exit $status
