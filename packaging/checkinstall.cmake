# cmake -DBUILD=dir -DPREFIX=dir -DVERSION=x.y.z [-DEMULATOR=cmd] -P checkinstall.cmake:
# installs the build into a scratch prefix and checks what lands there: the
# program (which runs and tells its version), the manual page (whose header
# names the same version) and the licence notices.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

set(expected
  bin/bihua
  share/man/man1/bihua.1
  share/doc/bihua/LICENSE
  share/doc/bihua/copyright
  share/doc/bihua/font/ARPHICPL.TXT
  share/doc/bihua/dictionaries/dictlicences.txt
  share/doc/bihua/dictionaries/LGPL-3
  share/doc/bihua/dictionaries/LGPL-2.1
  share/doc/bihua/dictionaries/libime-data-language-model.copyright
  share/doc/bihua/gbktable/README)
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "${PREFIX}/${f} was not installed")
  endif()
endforeach()

# Nothing else of the build (tests, tools, libraries) goes along.
file(GLOB_RECURSE all RELATIVE ${PREFIX} ${PREFIX}/*)
foreach(f ${all})
  if(NOT f MATCHES "^(bin/bihua|share/man/man1/bihua\\.1|share/doc/bihua/.*)$")
    message(FATAL_ERROR "unexpected file installed: ${f}")
  endif()
endforeach()

execute_process(COMMAND ${EMULATOR} ${PREFIX}/bin/bihua --version
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "bihua ${VERSION}\n")
  message(FATAL_ERROR "installed bihua --version: status ${rc}, '${out}' '${err}'")
endif()
file(STRINGS ${PREFIX}/share/man/man1/bihua.1 th REGEX "^\\.TH ")
if(NOT th MATCHES "\"bihua ${VERSION}\"")
  message(FATAL_ERROR "the manual page's header names another version: ${th}")
endif()
file(REMOVE_RECURSE ${PREFIX})
