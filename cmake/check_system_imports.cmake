# Fails when a Windows binary imports a DLL outside the set that every Windows system
# provides. Run with -DOBJDUMP=<objdump> -DBINARY=<path>.
cmake_minimum_required(VERSION 3.25)
set(system_dlls
    advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
    oleaut32.dll shell32.dll shlwapi.dll user32.dll version.dll winmm.dll)

execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${BINARY}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
if(NOT lines)
    message(FATAL_ERROR "no imports found in ${BINARY}")
endif()
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
        message(FATAL_ERROR "${BINARY} imports ${dll}, which is not a system DLL")
    endif()
    message(STATUS "imports ${dll}")
endforeach()
