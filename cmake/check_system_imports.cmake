# Fails when a Windows binary imports a DLL that Windows does not protect. Windows loads a
# KnownDLL only from the system folder, and comctl32.dll version 6 side by side through the
# program's manifest; any other imported DLL (winmm.dll, version.dll, ...) is looked for in
# the program's own folder first, where a planted copy would run. Such DLLs are loaded at
# run time from the system folder instead. Run with -DOBJDUMP=<objdump> -DBINARY=<path>.
cmake_minimum_required(VERSION 3.25)
set(system_dlls
    advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll
    ole32.dll oleaut32.dll psapi.dll rpcrt4.dll setupapi.dll shell32.dll shlwapi.dll
    user32.dll ws2_32.dll)

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
        message(FATAL_ERROR "${BINARY} imports ${dll}, which Windows may load from the program's folder")
    endif()
    message(STATUS "imports ${dll}")
endforeach()
