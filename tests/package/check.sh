#!/usr/bin/env bash
# The Debian package end to end, as a distribution and a player meet it. Installs into the
# system, so it runs only in a throw-away root (.ci/run starts it through fresh-debian-check):
#   1. a packager's plain Release build (no presets, warnings not errors, Debian's hardening
#      flags) builds, and cpack makes ostravel_VERSION_amd64.deb (tools/install/make_deb.sh);
#   2. its desktop entry and AppStream file validate, and lintian finds no error in it and no
#      missing hardening or unneeded section;
#   3. apt-get installs it with the dependencies it declares;
#   4. an ordinary user with an empty home starts the installed game under Xvfb, presses F12 and
#      quits: the PNG lands in that user's ~/.local/share/ostravel/screenshots/ at the window's
#      size; from the home directory the user records a demo by its plain name and replays it to
#      the recording's own trace; nothing was written under /usr;
#   5. removing the package removes every file it installed;
#   6. the arm64 package (tools/install/make_deb.sh --arch arm64, cross-built) is lintian-clean
#      with the same hardening, holds the amd64 package's Data/ byte for byte, installs with its
#      arm64 dependencies (multiarch) and its game starts under qemu for the same player.
set -euo pipefail
cd "$(dirname "$0")/../.."
source_dir=$PWD

if [ -z "${FRESH_DEBIAN_ROOT:-}" ] && [ "${OSTRAVEL_PACKAGE_CHECK_HERE:-}" != 1 ]; then
  echo "package check: installs a package system-wide; run it in a throw-away root:"
  echo "  ../shared/tools/fresh-debian-check tests/package/check.sh"
  echo "(or set OSTRAVEL_PACKAGE_CHECK_HERE=1 on a machine you may change)"
  exit 2
fi

fail() { echo "FAIL: $*"; exit 1; }
step() { echo "package check: $* ($((SECONDS))s)"; }

step "installing the build and packaging tools"
./tools/deps.sh
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends dpkg-dev file lintian desktop-file-utils \
  appstream xvfb x11-utils imagemagick passwd > /dev/null

step "plain Release build with Debian's hardening flags, as a packager builds it; cpack -G DEB"
build=$source_dir/build-package
tools/install/make_deb.sh "$build" || fail "the package build"
version=$(sed -n 's/^project(Ostravel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$build/ostravel_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb; made: $(ls "$build"/*.deb 2>/dev/null)"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb" | awk '{print $6}' > "$build/contents.txt"
for f in ./usr/games/ostravel ./usr/lib/games/ostravel/ostravel \
         ./usr/share/games/ostravel/Data/Setup.ini \
         ./usr/share/applications/io.github.ostravel.Ostravel.desktop \
         ./usr/share/metainfo/io.github.ostravel.Ostravel.metainfo.xml \
         ./usr/share/icons/hicolor/64x64/apps/ostravel.png ./usr/share/man/man6/ostravel.6.gz \
         ./usr/share/doc/ostravel/copyright ./usr/share/doc/ostravel/changelog.gz \
         ./usr/share/doc/ostravel/README.md; do
  grep -qx -- "$f" "$build/contents.txt" || fail "the package lacks $f"
done
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libsdl2-2 libsdl2-mixer libpng16 libgl1 libgl1-mesa-dri libglu1; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb --field "$deb" Recommends)" = xfonts-base ] || fail "xfonts-base is not recommended"

step "validating the desktop entry, the AppStream file and the package"
desktop-file-validate tools/install/io.github.ostravel.Ostravel.desktop
appstreamcli validate --no-net tools/install/io.github.ostravel.Ostravel.metainfo.xml
# lintian: errors fail; the warnings we keep are listed in the README.
lintian --fail-on error --no-tag-display-limit "$deb" | tee "$build/lintian.txt"
# Built with the distribution's hardening flags and stripped as its own packages are.
tags=$(grep -oE 'hardening-[a-z-]+|binary-has-unneeded-section' "$build/lintian.txt" || true)
[ -z "$tags" ] || fail "lintian: $tags"

step "installing the package"
apt-get install -y -qq "$deb" > /dev/null

step "a player with an empty home plays, presses F12 and quits"
useradd --create-home --shell /bin/bash player
home=/home/player
# The player's login shell finds the game (Debian's PATH for users holds /usr/games).
found=$(runuser -l player -c 'command -v ostravel') || fail "ostravel is not on the player's PATH"
echo "package check: the player's shell finds $found"
cat > /tmp/f12.txt << 'SCRIPT'
10 key f12 down
11 key f12 up
30 key escape down
SCRIPT
chmod 644 /tmp/f12.txt
cleanup_work() { :; }
source tests/e2e/xserver.sh
start_xserver
marker=$(mktemp)
sleep 1.1 # file times on /usr must be later than the marker to count as written by the run
rc=0
runuser -u player -- env -i HOME=$home PATH=/usr/local/bin:/usr/bin:/bin:/usr/games \
  DISPLAY="$DISPLAY" SDL_VIDEODRIVER=x11 \
  SDL_AUDIODRIVER=dummy LANG=C.UTF-8 \
  ostravel --windowed --dialogs=stderr --script /tmp/f12.txt --frames 60 \
  > /tmp/game.out 2> /tmp/game.err || rc=$?
[ "$rc" -eq 0 ] || { cat /tmp/game.err; fail "the installed game exited with $rc"; }
shots=$home/.local/share/ostravel/screenshots
ls "$shots"/ostravel-*.png > /dev/null 2>&1 || { cat /tmp/game.err; fail "no screenshot in $shots"; }
shot=$(ls "$shots"/ostravel-*.png | head -n 1)
[ "$(stat -c %U "$shot")" = player ] || fail "$shot does not belong to the player"
size=$(identify -format '%w %h' "$shot") || fail "$shot does not decode"
[ "$size" = "800 600" ] || fail "$shot is $size, not the 800 x 600 window"
# Every pixel decodes, and the picture is not one flat colour.
[ "$(convert "$shot" rgb:- | wc -c)" -eq $((800 * 600 * 3)) ] || fail "$shot decodes short"
[ "$(convert "$shot" -format '%k' info:)" -gt 100 ] || fail "$shot holds almost no colours"

# A demo by its plain name, from the home directory: recorded, then replayed to the same trace.
cat > /tmp/walk.txt << 'SCRIPT'
5 key w down
25 key w up
26 mouse 40 -10
27 click left
40 key escape down
SCRIPT
chmod 644 /tmp/walk.txt
as_player() {
  runuser -u player -- env -i HOME=$home PATH=/usr/local/bin:/usr/bin:/bin:/usr/games \
    DISPLAY="$DISPLAY" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy LANG=C.UTF-8 \
    sh -c "cd && ostravel --windowed --dialogs=stderr $*" > /tmp/game.out 2> /tmp/game.err
}
as_player --fixed-step 40 --seed 7 --script /tmp/walk.txt --record demo.txt --trace live.txt ||
  { cat /tmp/game.err; fail "the recording run failed"; }
[ -s $home/demo.txt ] && [ -s $home/live.txt ] || fail "no demo.txt or live.txt in the home directory"
as_player --script demo.txt --trace t.txt || { cat /tmp/game.err; fail "the replay failed"; }
cmp $home/live.txt $home/t.txt || fail "the replay's trace differs from the recording run's"
[ "$(wc -l < $home/t.txt)" -gt 30 ] || fail "the replay traced only $(wc -l < $home/t.txt) frames"

written=$(find /usr -newer "$marker" -not -type d 2>/dev/null | head -n 20)
[ -z "$written" ] || fail "the game wrote under /usr: $written"

step "removing the package"
dpkg -L ostravel | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done > /tmp/installed.txt
[ "$(wc -l < /tmp/installed.txt)" -gt 40 ] || fail "dpkg lists only $(wc -l < /tmp/installed.txt) files"
apt-get remove --purge -y -qq ostravel > /dev/null
left=$(while read -r f; do if [ -e "$f" ]; then echo "$f"; fi; done < /tmp/installed.txt)
[ -z "$left" ] || fail "left after removal: $left"
[ ! -e /usr/share/games/ostravel ] || fail "/usr/share/games/ostravel is left after removal"

step "the arm64 package: cross-built, checked, its Data/ against amd64's, installed, started"
./tools/deps.sh --arm64
build_arm64=$source_dir/build-package-arm64
tools/install/make_deb.sh --arch arm64 "$build_arm64" || fail "the arm64 package build"
deb_arm64=$build_arm64/ostravel_${version}_arm64.deb
[ -f "$deb_arm64" ] || fail "no $deb_arm64; made: $(ls "$build_arm64"/*.deb 2>/dev/null)"
[ "$(dpkg-deb --field "$deb_arm64" Architecture)" = arm64 ] || fail "$deb_arm64 is not for arm64"
lintian --fail-on error --no-tag-display-limit "$deb_arm64" | tee "$build_arm64/lintian.txt"
tags=$(grep -oE 'hardening-[a-z-]+|binary-has-unneeded-section' "$build_arm64/lintian.txt" || true)
[ -z "$tags" ] || fail "lintian on arm64: $tags"
dpkg-deb -x "$deb" "$build/root" && dpkg-deb -x "$deb_arm64" "$build_arm64/root"
data=usr/share/games/ostravel/Data
diff -r "$build/root/$data" "$build_arm64/root/$data" ||
  fail "the arm64 package's Data/ differs from the amd64 package's"
apt-get install -y -qq "$deb_arm64" > /dev/null
arm64_game=/usr/lib/games/ostravel/ostravel
file "$arm64_game" | grep -q 'ARM aarch64' || fail "$arm64_game is $(file -b "$arm64_game")"
# A small window (the rules never see its size): every pixel is slow under emulation.
mkdir -p /tmp/arm64-config/ostravel && echo "160 120 32" > /tmp/arm64-config/ostravel/Setup.ini
chmod -R a+rX /tmp/arm64-config
as_player_arm64() {
  runuser -u player -- env -i HOME=$home PATH=/usr/local/bin:/usr/bin:/bin:/usr/games \
    XDG_CONFIG_HOME=/tmp/arm64-config SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LANG=C.UTF-8 \
    sh -c "cd && qemu-aarch64-static -L / $arm64_game --windowed --dialogs=stderr $*" \
    > /tmp/game.out 2> /tmp/game.err
}
# The demo recorded above by the amd64 game, replayed by the installed arm64 one.
as_player_arm64 --script demo.txt --trace arm64.txt || { cat /tmp/game.err; fail "the arm64 game"; }
cmp $home/live.txt $home/arm64.txt ||
  fail "the installed arm64 game replays the demo to another trace"
apt-get remove --purge -y -qq ostravel:arm64 > /dev/null
[ ! -e /usr/share/games/ostravel ] || fail "/usr/share/games/ostravel is left after removing arm64"

echo "package check: $(basename "$deb") built, validated, installed, played by an ordinary user" \
  "(screenshot $(basename "$shot"), $size, a demo recorded and replayed from the home" \
  "directory to the same $(wc -l < $home/t.txt)-frame trace), removed with $(wc -l < /tmp/installed.txt) files;" \
  "$(grep -c '^W:' "$build/lintian.txt" || true) lintian warnings, no error;" \
  "$(basename "$deb_arm64")" \
  "lintian-clean with the same Data/, installed and replaying the demo under qemu"
