# Run by CPack after it has installed into its staging folder and before it
# packs: gives the Debian package the layout Debian asks for (the manual
# page compressed, a compressed changelog in the documentation folder).
file(GLOB pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1")
foreach(page ${pages})
  execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${page} failed")
  endif()
endforeach()
file(GLOB docdirs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/bihua")
foreach(dir ${docdirs})
  configure_file(${CPACK_BIHUA_CHANGELOG} ${dir}/changelog COPYONLY)
  execute_process(COMMAND gzip -9nf ${dir}/changelog)
  # The copyright file stands in for these two in a Debian package.
  file(REMOVE ${dir}/LICENSE)
endforeach()
