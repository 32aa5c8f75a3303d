# Fails when a Windows binary imports a DLL that Windows does not protect. Windows loads a
# KnownDLL only from the system folder, and comctl32.dll version 6 side by side through the
# program's manifest; any other imported DLL (winmm.dll, version.dll, ...) is looked for in
# the program's own folder first, where a planted copy would run. Such DLLs are loaded at
# run time from the system folder instead.
#
# With IMPORTS_LIST, also fails when the functions the binary imports differ from those
# the list gives for it: a function Windows 7 lacks, imported, stops the program from
# starting there at all, so each new import is looked at before it is added.
#
#   check:  cmake -DOBJDUMP=<objdump> -DBINARY=<path> [-DIMPORTS_LIST=<list>] -P <this>
#   update: cmake -DOBJDUMP=<objdump> -DIMPORTS_LIST=<list> -DUPDATE_FROM=<path>[;<path>...] -P <this>
cmake_minimum_required(VERSION 3.25)
set(system_dlls
    advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll
    ole32.dll oleaut32.dll psapi.dll rpcrt4.dll setupapi.dll shell32.dll shlwapi.dll
    user32.dll ws2_32.dll)

# The imports of `binary` as "<program> <dll> <function>" lines, sorted; a function
# imported by ordinal reads "#<ordinal>". Fails on a DLL that is not a system one.
function(read_imports binary result)
    execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} failed on ${binary}")
    endif()
    cmake_path(GET binary FILENAME program)
    # objdump lists each DLL as "DLL Name: X", then one "<address> <hint> <name>" line for
    # each function, or "<address> <ordinal> <none>" for one imported by ordinal.
    string(REGEX MATCHALL "DLL Name: [^\n]+|\n\t[0-9a-fA-F]+\t +[0-9]+ +[^\n]+" lines "${dump}")
    if(NOT lines)
        message(FATAL_ERROR "no imports found in ${binary}")
    endif()
    set(imports)
    foreach(line IN LISTS lines)
        if(line MATCHES "^DLL Name: (.+)$")
            string(STRIP "${CMAKE_MATCH_1}" dll)
            string(TOLOWER "${dll}" dll)
            if(NOT dll IN_LIST system_dlls)
                message(FATAL_ERROR "${binary} imports ${dll}, which Windows may load from the program's folder")
            endif()
        elseif(line MATCHES "^\n\t[0-9a-fA-F]+\t +([0-9]+) +([^ ]+)")
            set(function "${CMAKE_MATCH_2}")
            if(function STREQUAL "<none>")
                set(function "#${CMAKE_MATCH_1}")
            endif()
            list(APPEND imports "${program} ${dll} ${function}")
        endif()
    endforeach()
    list(SORT imports)
    set(${result} ${imports} PARENT_SCOPE)
endfunction()

if(DEFINED UPDATE_FROM)
    # The list's leading comment stays; the lines below it are written anew.
    file(STRINGS ${IMPORTS_LIST} comment REGEX "^#")
    list(JOIN comment "\n" text)
    foreach(binary IN LISTS UPDATE_FROM)
        read_imports(${binary} imports)
        list(JOIN imports "\n" lines)
        string(APPEND text "\n${lines}")
    endforeach()
    file(WRITE ${IMPORTS_LIST} "${text}\n")
    message(STATUS "wrote ${IMPORTS_LIST}")
    return()
endif()

read_imports(${BINARY} imports)
if(NOT DEFINED IMPORTS_LIST)
    return()
endif()
cmake_path(GET BINARY FILENAME program)
string(REPLACE "." "\\." program_pattern "${program}")
file(STRINGS ${IMPORTS_LIST} listed REGEX "^${program_pattern} ")
set(added ${imports})
list(REMOVE_ITEM added ${listed})
set(gone ${listed})
list(REMOVE_ITEM gone ${imports})
if(added OR gone)
    set(report "${program}'s imports differ from ${IMPORTS_LIST}")
    if(added)
        list(JOIN added "\n  " added)
        string(APPEND report "\nimported, not listed (does Windows 7 have it?):\n  ${added}")
    endif()
    if(gone)
        list(JOIN gone "\n  " gone)
        string(APPEND report "\nlisted, no longer imported:\n  ${gone}")
    endif()
    message(FATAL_ERROR "${report}\n"
        "Once checked: cmake --build --preset windows --target update_system_imports")
endif()
list(LENGTH imports count)
message(STATUS "${program}: the ${count} listed imports")
