# 32-bit ARM with hardware floating point (armhf: ARMv7, Thumb-2, VFPv3-D16)
# with Debian's cross compiler:
#   apt-get install crossbuild-essential-armhf qemu-user-static
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake
set(BIHUA_CROSS_TRIPLET arm-linux-gnueabihf)
set(BIHUA_CROSS_PROCESSOR armv7l)
set(BIHUA_CROSS_QEMU qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
# GCC notes at every std::vector<struct> that GCC 7.1 changed how such
# arguments are passed on ARM; all of bihua is built by one compiler.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
