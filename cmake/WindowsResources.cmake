# Icons 128 and 129, version information and the application manifest of a Windows program.
# Elsewhere nothing is added.
function(corvala_windows_resources target description)
    if(NOT WIN32)
        return()
    endif()
    set(RC_DIR ${PROJECT_SOURCE_DIR}/res/windows)
    set(RC_NAME ${target})
    set(RC_FILE_NAME ${target}.exe)
    set(RC_DESCRIPTION ${description})
    configure_file(${RC_DIR}/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
