#!/usr/bin/env bash
# The Debian packages the game needs to build and run (and, with --test, to run its tests).
# As root the missing ones are installed; otherwise the one command that installs them is printed.
#
#   tools/deps.sh [--test | --web | --arm64]
# --arm64: the cross build for 64-bit ARM (cmake --preset arm64): adds the arm64 architecture to
# dpkg (multiarch) and installs the cross compiler, the arm64 libraries and qemu to run its
# programs and tests.
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^set -euo/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac

# xfonts-base: SDL's X11 message boxes (the full-screen question, errors) draw with X core fonts.
packages=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libpng-dev libgl1-mesa-dev
          libglu1-mesa-dev libgl1-mesa-dri libegl1 libegl-mesa0 libfreetype-dev fonts-dejavu-core
          xfonts-base)
# The browser build (./web.sh): Debian's Emscripten, and python3 for its post-link step.
web_packages=(emscripten python3)
if [[ "${1:-}" == "--web" ]]; then
  packages+=("${web_packages[@]}")
fi
if [[ "${1:-}" == "--test" ]]; then
  # clang and its runtime build the fuzz targets; valgrind runs the memory check of the game;
  # ImageMagick writes the bitmap variants the reader is checked against; Google Benchmark
  # builds ostravel_bench; lld links the mutation check's builds; python3 runs the docs check
  # and the mutation check; mount gives the full-disk test a small tmpfs.
  packages+=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-utils clang libclang-rt-14-dev
             valgrind imagemagick libbenchmark-dev lld python3 mount)
  # The browser tests: the browser build, Debian's Chromium driven headless by puppeteer-core
  # (installed by npm from tests/web/package-lock.json, with no browser of its own).
  packages+=("${web_packages[@]}" chromium nodejs npm)
fi

if [[ "${1:-}" == "--arm64" ]]; then
  # The same libraries for arm64, beside the host's (and the host's own, which the check's
  # desktop build uses). Debian 12's libsdl2-mixer-dev:arm64 installs only with
  # libjack-jackd2-dev:arm64 named beside it.
  packages+=(g++-aarch64-linux-gnu qemu-user-static file libgtest-dev libgmock-dev xvfb xauth
             x11-utils)
  packages+=(libsdl2-dev:arm64 libsdl2-mixer-dev:arm64 libjack-jackd2-dev:arm64 libpng-dev:arm64
             libgl1-mesa-dev:arm64 libglu1-mesa-dev:arm64 libgl1-mesa-dri:arm64 libegl1:arm64
             libegl-mesa0:arm64 libfreetype-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64)
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    [[ $(id -u) -eq 0 ]] || { echo "The arm64 build needs: sudo dpkg --add-architecture arm64"; exit 1; }
    dpkg --add-architecture arm64
  fi
fi

# A name without :ARCH means the machine's own architecture (or a package for every one); with
# arm64 added, dpkg lists a library once for each architecture it is installed for.
native=$(dpkg --print-architecture)
missing=()
for p in "${packages[@]}"; do
  arch=$native
  [[ "$p" == *:* ]] && arch=${p#*:}
  dpkg-query -W -f='${Status} ${Architecture}\n' "$p" 2>/dev/null |
    grep -Eqx "install ok installed ($arch|all)" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Ostravel needs some Debian packages. Install them with:"
  echo "sudo apt-get install ${missing[*]}"
  exit 1
fi
