# Installs the man page into a scratch prefix, as `cmake --install` does for a user, and
# compares it byte for byte with what the man page writer makes from the table now.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                        --component manual
                RESULT_VARIABLE installed)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()
file(GLOB_RECURSE pages ${PREFIX}/*)
if(NOT pages MATCHES "/man1/tarnwick-cli\\.1$")
    message(FATAL_ERROR "the install put no man1/tarnwick-cli.1 in place, only: ${pages}")
endif()
execute_process(COMMAND ${WRITER} ${PREFIX}/expected.1 RESULT_VARIABLE written)
if(NOT written EQUAL 0)
    message(FATAL_ERROR "the man page writer failed: ${written}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${pages} ${PREFIX}/expected.1
                RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
    message(FATAL_ERROR "the installed ${pages} is not the page the table makes")
endif()
file(REMOVE_RECURSE ${PREFIX})
