# GoogleTest as GTest::gtest and GTest::gtest_main. A native build uses the installed
# package; a cross build compiles the sources that package ships with the cross
# compiler, since the installed libraries are for the build machine.
if(CMAKE_CROSSCOMPILING)
    set(VELLORAN_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
    if(NOT EXISTS ${VELLORAN_GTEST_SOURCE_DIR}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest sources not found in ${VELLORAN_GTEST_SOURCE_DIR} (libgtest-dev)")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VELLORAN_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest names its targets GTest::* itself from 1.11 on.
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)
