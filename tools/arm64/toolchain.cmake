# Cross-compiling for 64-bit ARM (a Raspberry Pi 4 or 5, any Debian 12 arm64 machine) from an
# x86-64 Debian 12 with Debian's own packages (tools/deps.sh --arm64): the cross compiler
# g++-aarch64-linux-gnu and the arm64 libraries installed beside the host's (multiarch).
# The build's programs (the data generator, the tests, the game for its manual page) run under
# qemu's user-mode emulator, -L / finding the arm64 loader and libraries in /lib/aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static;-L;/)

# Libraries and headers from the arm64 packages only; programs (pkg-config) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/lib/aarch64-linux-gnu /usr/include/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
