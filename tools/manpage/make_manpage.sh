#!/usr/bin/env bash
# Writes the manual page ostravel(6) from the game's own --help text, so the two cannot drift:
#   make_manpage.sh OUT.6 GAME...
# (GAME... is the game's command: in a cross build, the emulator that runs it comes first.)
# The help text's sections become the page's: "Options:" becomes OPTIONS, and so on. Items
# start two spaces in, their description after two or more spaces; deeper lines continue it.
set -euo pipefail
out=$1
shift
help=$("$@" --help)
version=$("$@" --version | awk '{print $NF}')

escape() { sed -e 's/\\/\\e/g' -e 's/^\./\\\&./' -e "s/^'/\\\\\\&'/" -e 's/-/\\-/g'; }

{
  echo ".TH OSTRAVEL 6 \"\" \"Ostravel $version\" \"Games\""
  echo ".SH NAME"
  echo "ostravel \\- first-person game: collect five letters and survive the soldiers"
  echo ".SH SYNOPSIS"
  echo ".B ostravel"
  echo "[\\fIOPTIONS\\fR]"
  echo ".SH DESCRIPTION"
  # The paragraph between the usage line and the first section. awk reads the whole text rather
  # than leaving at the section: the help is longer than one write of echo, and a reader gone
  # early would end the script with SIGPIPE under pipefail.
  echo "$help" | awk 'NR > 2 && /^[A-Z][A-Za-z ]*:$/ {done = 1} !done && NR > 2 && NF' | escape
  echo "$help" | awk '
    /^[A-Z][A-Za-z ]*:$/ { sub(/:$/, ""); print ".SH " toupper($0); next }
    /^  [^ ]/ {
      line = substr($0, 3)
      n = match(line, /  +/)
      if (n > 0) { term = substr(line, 1, n - 1); text = substr(line, n + RLENGTH) }
      else { term = line; text = "" }
      print ".TP"; print "\\fB" term "\\fR"
      if (text != "") print text
      next
    }
    /^   +[^ ]/ { sub(/^ +/, ""); print; next }
  ' | awk 'found || /^\.SH/ {found = 1; print}' | sed -e 's/-/\\-/g'
  echo ".SH SEE ALSO"
  echo "The game's README, installed with it as share/doc/ostravel/README.md under its prefix"
  echo "(/usr/share/doc/ostravel/README.md from the package), for the controls, the data and the"
  echo "tests."
} > "$out"
