# The core's layers as build facts. Each layer is a library whose include root, made in
# the build tree, holds only that layer's own files (as links to the checkout), so a
# source sees the headers of its own layer and of the layers it links, never those of a
# layer above it: an upward include fails to build.
#
#   velloran_platform <- velloran_strings
#   velloran_platform <- velloran_catalogue <- velloran_link <- velloran_jobs <- velloran_ui
#   velloran_strings <- velloran_jobs

# velloran_expose(<target> <path>...): each path, a file or a folder of the checkout,
# appears at the same relative place under the target's include root.
function(velloran_expose target)
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    foreach(path ${ARGN})
        cmake_path(GET path PARENT_PATH parent)
        file(MAKE_DIRECTORY ${root}/${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()

# velloran_expose_headers(<target> <folder> [EXCEPT <file>...]): every header of the
# folder but the ones named.
function(velloran_expose_headers target folder)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "EXCEPT")
    file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    foreach(excluded ${arg_EXCEPT})
        list(REMOVE_ITEM headers ${folder}/${excluded})
    endforeach()
    velloran_expose(${target} ${headers})
endfunction()
