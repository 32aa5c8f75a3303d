# Writes velloran_version.h from project(VERSION) into the build tree; every target that
# links velloran_options can include it.
set(VELLORAN_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${VELLORAN_GENERATED_DIR}/velloran_version.h @ONLY)
target_include_directories(velloran_options INTERFACE ${VELLORAN_GENERATED_DIR})
