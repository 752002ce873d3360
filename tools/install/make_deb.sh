#!/usr/bin/env bash
# The Debian package built as Debian builds its own: a plain Release build (no presets) with the
# distribution's hardening flags from dpkg-buildflags (fortify, stack protector, relro,
# bind-now), then cpack, which installs stripped binaries without the compiler's notes.
#   tools/install/make_deb.sh [--arch arm64] BUILD_DIR  ->  BUILD_DIR/ostravel_VERSION_ARCH.deb
# ARCH is this machine's unless --arch names another, which is cross-built with the toolchain in
# tools/ARCH/ (tools/deps.sh --arm64 installs what arm64 needs): the flags are Debian's for that
# architecture, and dpkg-shlibdeps reads the libraries of its multiarch packages.
# A Release build made without this script keeps the compiler's defaults.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
usage="usage: tools/install/make_deb.sh [--arch ARCH] BUILD_DIR"
command -v dpkg-buildflags > /dev/null ||
  { echo "make_deb.sh: dpkg-buildflags is missing: apt-get install dpkg-dev"; exit 1; }
arch=$(dpkg --print-architecture)
cross=()
if [ "${1:-}" = --arch ]; then
  arch=${2:?$usage}
  shift 2
fi
build=${1:?$usage}
if [ "$arch" != "$(dpkg --print-architecture)" ]; then
  [ -f "$source_dir/tools/$arch/toolchain.cmake" ] || { echo "make_deb.sh: no tools/$arch/toolchain.cmake"; exit 1; }
  export DEB_HOST_ARCH=$arch
  cross=(-DCMAKE_TOOLCHAIN_FILE="$source_dir/tools/$arch/toolchain.cmake"
         -DCPACK_DEBIAN_PACKAGE_ARCHITECTURE="$arch")
fi

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake reads CXXFLAGS and LDFLAGS when it first configures a build directory; the
# preprocessor's flags (_FORTIFY_SOURCE) go with the compiler's.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
rm -rf "$build"
mkdir -p "$build"
echo "make_deb.sh: CXXFLAGS=$CXXFLAGS LDFLAGS=$LDFLAGS"
# The package holds the game and its data; the tests are ./test.sh's.
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "${cross[@]}" \
  > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j"$(nproc)" > "$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log"; exit 1; }
echo "make_deb.sh: $(grep -c "warning:" "$build/build.log" || true) compiler warnings (not errors)"
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
ls "$build"/*.deb
