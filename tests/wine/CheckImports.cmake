# Fails unless the Windows program PROGRAM imports at start only Windows' known DLLs, which
# the system never takes from beside the executable: Qt, the C++ and C runtimes and
# winpthread are linked in, the other system DLLs are delay-loaded from the system folder.
#   cmake -DOBJDUMP=... -DPROGRAM=corvala.exe -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(known advapi32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 setupapi shcore shell32 shlwapi
    user32 ws2_32)
foreach(import IN LISTS imports)
    string(TOLOWER "${import}" name)
    string(REGEX REPLACE "dll name: ([^.]+)\\.dll" "\\1" name "${name}")
    if(NOT name IN_LIST known AND NOT name MATCHES "^api-ms-win-")
        message(FATAL_ERROR "${PROGRAM} imports ${name}.dll at start, which is looked for beside it first")
    endif()
    message(STATUS "imports ${name}.dll")
endforeach()
