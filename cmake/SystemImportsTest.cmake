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

velloran_collect_binaries(${PROJECT_SOURCE_DIR} velloran_windows_binaries)
foreach(target IN LISTS velloran_windows_binaries)
    add_test(NAME Windows.SystemImports.${target}
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DBINARY=$<TARGET_FILE:${target}>
                -P ${VELLORAN_IMPORTS_SCRIPT})
endforeach()
