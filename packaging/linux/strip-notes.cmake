# Run by CPack on the staged files before it packs them: the programs lose
# the .comment and .note sections that plain stripping keeps, as Debian's
# own package builds do.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
foreach(program IN LISTS programs)
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${program}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "strip failed on ${program}")
    endif()
endforeach()
