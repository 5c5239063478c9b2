# Windows looks for a program's imported DLLs in the executable's folder before the system
# folder, except for its known DLLs (kernel32, user32 ...). So a pdh.dll or version.dll lying
# beside corvala.exe (a Downloads folder) would run its code in the program. The system DLLs
# that are not known DLLs are therefore imported on first use (delay-loaded), and the
# program's delay-load hook (src/platform/win) loads them from the system folder alone.
#
# Each one's MinGW import library is remade as a delay-import library of the same name, in a
# folder that the programs' linker searches first, so that the toolkit's own link lines
# (-ldwmapi ...) take it too. tests/wine/CheckImports.cmake fails when any other DLL is
# imported at start.
set(CORVALA_DELAYED_DLLS authz d2d1 d3d9 d3d11 d3d12 dwmapi dwrite dxgi iphlpapi mpr netapi32 opengl32
    pdh userenv uxtheme version winmm winspool wtsapi32)

function(corvala_make_delay_library name dir)
    find_library(import_${name} NAMES lib${name}.a NO_CACHE REQUIRED)
    execute_process(COMMAND ${CMAKE_DLLTOOL} --identify ${import_${name}}
        OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CMAKE_NM} -g ${import_${name}}
        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp_[^\n]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I __imp_" "    ")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(WRITE ${dir}/${name}.def "LIBRARY \"${dll}\"\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${dir}/${name}.def --output-delaylib ${dir}/lib${name}.a
        COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Links `target` (a program) with the delay-import libraries; elsewhere nothing changes.
function(corvala_delay_system_dlls target)
    if(NOT WIN32)
        return()
    endif()
    set(dir ${CMAKE_BINARY_DIR}/delayed-dlls)
    # Made again when the list changes, so that no DLL added to it stays imported at start.
    set(made "")
    if(EXISTS ${dir}/.complete)
        file(READ ${dir}/.complete made)
    endif()
    if(NOT made STREQUAL "${CORVALA_DELAYED_DLLS}")
        if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
            message(FATAL_ERROR "dlltool and nm of the MinGW toolchain are needed")
        endif()
        file(MAKE_DIRECTORY ${dir})
        foreach(name IN LISTS CORVALA_DELAYED_DLLS)
            corvala_make_delay_library(${name} ${dir})
        endforeach()
        file(WRITE ${dir}/.complete "${CORVALA_DELAYED_DLLS}")
    endif()
    target_link_directories(${target} BEFORE PRIVATE ${dir})
endfunction()
