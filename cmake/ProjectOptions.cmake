# Warnings, sanitizers and the Windows runtime's linking, linked PRIVATE by every target so
# that consumers inherit nothing.
option(CORVALA_ASAN  "Build with AddressSanitizer" OFF)
option(CORVALA_UBSAN "Build with UndefinedBehaviorSanitizer" OFF)
option(CORVALA_TSAN  "Build with ThreadSanitizer" OFF)

if(CORVALA_TSAN AND CORVALA_ASAN)
    message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer")
endif()

add_library(corvala_warnings INTERFACE)
if(MSVC)
    target_compile_options(corvala_warnings INTERFACE /W4)
else()
    target_compile_options(corvala_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
endif()

add_library(corvala_sanitizers INTERFACE)
set(_corvala_sanitizers "")
if(CORVALA_ASAN)
    list(APPEND _corvala_sanitizers address)
endif()
if(CORVALA_UBSAN)
    list(APPEND _corvala_sanitizers undefined)
    # Undefined behaviour ends the run, so a test cannot pass over it with a message.
    target_compile_options(corvala_sanitizers INTERFACE -fno-sanitize-recover=undefined)
endif()
if(CORVALA_TSAN)
    list(APPEND _corvala_sanitizers thread)
endif()
if(_corvala_sanitizers)
    list(JOIN _corvala_sanitizers "," _corvala_list)
    target_compile_options(corvala_sanitizers INTERFACE -fsanitize=${_corvala_list} -fno-omit-frame-pointer)
    target_link_options(corvala_sanitizers INTERFACE -fsanitize=${_corvala_list})
endif()

# One file to copy: on Windows the C and C++ runtimes and winpthread are linked in, so no DLL
# of the toolchain has to sit beside the executable. A release carries no symbols (they would
# double its size). Linked by every program, nothing elsewhere.
add_library(corvala_runtime INTERFACE)
if(MINGW)
    target_link_options(corvala_runtime INTERFACE -static $<$<CONFIG:Release>:-s>)
endif()
