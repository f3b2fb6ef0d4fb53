# What `cmake --install` puts in place for a Linux or macOS user: the program,
# its manual page with the project's version, the README and the licence.
# Called with -DBUILD_DIR and -DVERSION.
set(prefix "${BUILD_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/bootweave share/man/man1/bootweave.1 share/doc/bootweave/README.md
             share/doc/bootweave/LICENSE)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(STRINGS "${prefix}/share/man/man1/bootweave.1" title REGEX "^\\.TH ")
if(NOT title MATCHES "\"bootweave ${VERSION}\"")
  message(FATAL_ERROR "the manual page's title lacks the version ${VERSION}: ${title}")
endif()
execute_process(COMMAND "${prefix}/bin/bootweave" --help RESULT_VARIABLE result OUTPUT_VARIABLE usage)
if(NOT result EQUAL 0 OR NOT usage MATCHES "bootweave ${VERSION} - ")
  message(FATAL_ERROR "the installed program does not run: ${result} ${usage}")
endif()
message(STATUS "install ok: ${prefix}")
