# Fails when a program's library search path (RPATH or RUNPATH) holds an entry other than an
# absolute folder: the loader reads an empty or relative one against the working directory.
#   cmake -DREADELF=readelf "-DPROGRAMS=a;b" -P CheckRunpath.cmake
foreach(program IN LISTS PROGRAMS)
    execute_process(COMMAND ${READELF} -d ${program} OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${READELF} could not read ${program}")
    endif()
    string(REGEX MATCHALL "\\((RPATH|RUNPATH)\\)[^\n]*" paths "${dynamic}")
    foreach(path IN LISTS paths)
        string(REGEX REPLACE ".*\\[(.*)\\]$" "\\1" entries "${path}")
        if(NOT entries MATCHES "^/[^:]*(:/[^:]*)*$")
            message(FATAL_ERROR "${program} searches [${entries}]")
        endif()
    endforeach()
endforeach()
