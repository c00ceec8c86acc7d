# Shared part of the toolchain files for Debian's cross compilers
# (crossbuild-essential-<arch>). The including file sets BIHUA_CROSS_TRIPLET
# (the GNU triplet, also the multiarch folder name), BIHUA_CROSS_PROCESSOR
# and BIHUA_CROSS_QEMU (the qemu-user-static program that runs the target's
# programs here).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${BIHUA_CROSS_PROCESSOR})
set(CMAKE_C_COMPILER ${BIHUA_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${BIHUA_CROSS_TRIPLET}-g++)
# Libraries and headers of the target come from its multiarch packages
# (libpng-dev:<arch>, libdrm-dev:<arch>, libc6:<arch>, libstdc++6:<arch>), which sit in /usr/lib/<triplet> and
# /usr/include beside the build machine's; the cross compiler's own C and
# C++ libraries are in /usr/<triplet>. Programs found are the build
# machine's.
set(CMAKE_LIBRARY_ARCHITECTURE ${BIHUA_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH /usr/${BIHUA_CROSS_TRIPLET} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config (libdrm) reads the target's .pc files, not the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${BIHUA_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)
# Tests and test discovery run the target's programs under qemu-user. The
# target's dynamic loader and its C and C++ libraries come from the
# multiarch packages libc6:<arch> and libstdc++6:<arch>, as on a board.
# Not `-L /usr/<triplet>` (the cross compiler's copies): under it a test
# program's forked child spins before it reaches execve, so the
# end-to-end rig never starts the program. The rig's exec of the target's
# bihua needs qemu-user-static registered with binfmt_misc (.ci/run does
# it).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/${BIHUA_CROSS_QEMU})
