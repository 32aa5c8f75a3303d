# A Windows program or driver library must load on a bare system: one test per built
# executable and DLL lists what it imports and fails on any DLL that Windows does not
# ship (a MinGW runtime DLL left dynamic, or a driver library linked in).
set(VELLORAN_IMPORTS_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_system_imports.cmake)

function(velloran_collect_binaries directory result)
    set(found)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY")
            list(APPEND found ${target})
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        velloran_collect_binaries(${subdirectory} nested)
        list(APPEND found ${nested})
    endforeach()
    set(${result} ${found} PARENT_SCOPE)
endfunction()

# The two programs' imports are also compared, function by function, with a committed
# list (see the list's head for how to bring it up to date).
set(VELLORAN_IMPORTS_LIST ${CMAKE_CURRENT_LIST_DIR}/windows_imports.txt)
set(velloran_listed_programs velloran velloran-cli)

velloran_collect_binaries(${PROJECT_SOURCE_DIR} velloran_windows_binaries)
foreach(target IN LISTS velloran_windows_binaries)
    set(list_argument)
    if(target IN_LIST velloran_listed_programs)
        set(list_argument -DIMPORTS_LIST=${VELLORAN_IMPORTS_LIST})
    endif()
    add_test(NAME Windows.SystemImports.${target}
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DBINARY=$<TARGET_FILE:${target}>
                ${list_argument} -P ${VELLORAN_IMPORTS_SCRIPT})
endforeach()

# Rewrites the list from the programs as built.
set(velloran_listed_files)
foreach(target IN LISTS velloran_listed_programs)
    list(APPEND velloran_listed_files $<TARGET_FILE:${target}>)
endforeach()
list(JOIN velloran_listed_files "$<SEMICOLON>" velloran_listed_files)
add_custom_target(update_system_imports
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DIMPORTS_LIST=${VELLORAN_IMPORTS_LIST}
            "-DUPDATE_FROM=${velloran_listed_files}" -P ${VELLORAN_IMPORTS_SCRIPT}
    DEPENDS ${velloran_listed_programs}
    VERBATIM)
