# Warnings and sanitizers shared by every target of the project.
option(VELLORAN_WERROR "Treat warnings as errors" ON)
set(VELLORAN_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address;undefined or thread")

add_library(velloran_options INTERFACE)
target_compile_features(velloran_options INTERFACE cxx_std_20)
target_compile_options(velloran_options INTERFACE -Wall -Wextra)
if(VELLORAN_WERROR)
    target_compile_options(velloran_options INTERFACE -Werror)
endif()

if(VELLORAN_SANITIZE)
    list(JOIN VELLORAN_SANITIZE "," _sanitizers)
    set(_flags -fsanitize=${_sanitizers} -fno-omit-frame-pointer)
    if("undefined" IN_LIST VELLORAN_SANITIZE)
        list(APPEND _flags -fno-sanitize-recover=undefined)
    endif()
    # Applied globally so the simulated printer library is instrumented too.
    add_compile_options(${_flags})
    add_link_options(${_flags})
endif()

# Fuzz builds instrument everything for libFuzzer; the fuzz targets add the driver.
option(VELLORAN_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(VELLORAN_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Windows 7 is the oldest system the programs run on, so the Windows headers declare
# nothing newer: a newer call is looked up at run time, and the imports test catches one
# that the runtime pulls in.
if(WIN32)
    add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
