# 64-bit ARM (arm64, aarch64) with Debian's cross compiler:
#   apt-get install crossbuild-essential-arm64 qemu-user-static
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-arm64.cmake
set(BIHUA_CROSS_TRIPLET aarch64-linux-gnu)
set(BIHUA_CROSS_PROCESSOR aarch64)
set(BIHUA_CROSS_QEMU qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
