#!/usr/bin/env bash
# House rules the compiler cannot see: only app/ talks to SDL, and only drawing and GL-context
# code includes the GL headers (through app/gl_api.h).
set -u
root=${1:-.}
cd "$root" || exit 2
status=0
sdl=$(grep -rlE '#\s*include\s*[<"]SDL' world models terrain camera render sound 2>/dev/null)
if [ -n "$sdl" ]; then
  echo "SDL included outside app/:"; echo "$sdl"; status=1
fi
gl=$(grep -rlE '#\s*include\s*<GL/' app world models terrain camera render sound 2>/dev/null | grep -v '^app/gl_api.h$')
if [ -n "$gl" ]; then
  echo "GL headers included directly (use app/gl_api.h):"; echo "$gl"; status=1
fi
[ $status -eq 0 ] && echo "platform boundary holds"
exit $status
