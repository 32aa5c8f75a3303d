# Checks that a driver library exports its ten entry points and nothing else.
# Run with -DNM=<nm> -DLIBRARY=<path> -DPREFIX=<prefix>.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
foreach(suffix RegistHandle UnregistHandle CheckMyDevice CheckActiveDevice StartDevice
        EndDevice UsbOpen UsbClose UsbWrite UsbRead)
    if(NOT symbols MATCHES " T ${PREFIX}${suffix}\n")
        message(FATAL_ERROR "${PREFIX}${suffix} is not exported")
    endif()
endforeach()
string(REGEX MATCHALL " [A-Za-z] [^\n]+" defined "${symbols}")
list(LENGTH defined count)
if(NOT count EQUAL 10)
    message(FATAL_ERROR "exports other symbols than the ten entry points:\n${symbols}")
endif()
