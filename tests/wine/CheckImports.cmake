# Fails unless the Windows program PROGRAM imports only DLLs of the system itself: Qt, the
# C++ and C runtimes and winpthread are linked in, so the executable is the one file to copy.
#   cmake -DOBJDUMP=... -DPROGRAM=corvala.exe -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(system advapi32 comdlg32 d3d9 d3d11 d3d12 dwmapi dwrite dxgi gdi32 imm32 iphlpapi kernel32 msvcrt netapi32
    ole32 oleaut32 pdh setupapi shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32
    wtsapi32 authz opengl32)
foreach(import IN LISTS imports)
    string(TOLOWER "${import}" name)
    string(REGEX REPLACE "dll name: ([^.]+)\\.dll" "\\1" name "${name}")
    if(NOT name IN_LIST system AND NOT name MATCHES "^api-ms-win-")
        message(FATAL_ERROR "${PROGRAM} needs ${name}.dll beside it")
    endif()
    message(STATUS "imports ${name}.dll")
endforeach()
