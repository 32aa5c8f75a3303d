# Checks that a Windows driver library exports its ten entry points under their plain
# names (no "@bytes" decoration) and nothing else.
# Run with -DOBJDUMP=<objdump> -DLIBRARY=<path> -DPREFIX=<prefix>.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
endif()
# The table's lines read "\t[   0] Hdv305CheckActiveDevice".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t[^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" entries "${table}")
list(TRANSFORM entries REPLACE "^\t\\[ *[0-9]+\\] " "")
list(SORT entries)
set(expected)
foreach(suffix RegistHandle UnregistHandle CheckMyDevice CheckActiveDevice StartDevice
        EndDevice UsbOpen UsbClose UsbWrite UsbRead)
    list(APPEND expected ${PREFIX}${suffix})
endforeach()
list(SORT expected)
if(NOT entries STREQUAL expected)
    message(FATAL_ERROR "exports of ${LIBRARY}:\n  ${entries}\nexpected:\n  ${expected}")
endif()
