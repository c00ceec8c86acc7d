# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE). For a package
# of another architecture, dpkg-shlibdeps (run by cpack) takes the target
# from DEB_HOST_ARCH: it then reads the binary with the target's objdump and
# finds the libraries, and the packages that hold them, in the target's
# multiarch folders.
if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  set(ENV{DEB_HOST_ARCH} ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()
