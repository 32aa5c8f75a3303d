# The compiled help says it is Japanese, so that the viewer reads its contents in code page
# 932 on any system: language 0x0411 in the header (offset 0x14) and in #SYSTEM record 4
# (length 0x24), and the default font with character set 128 in #SYSTEM record 16
# (#SYSTEM is stored uncompressed). Run with -DHELP=<path to VLR120.chm>.
file(READ ${HELP} header OFFSET 20 LIMIT 4 HEX)
file(READ ${HELP} bytes HEX)
string(HEX "MS PGothic,9,128" font)
if(NOT header STREQUAL "11040000" OR NOT bytes MATCHES "040024001104.*10001100${font}00")
    message(FATAL_ERROR "${HELP}: language ${header}, or no record 4 or 16 as expected")
endif()
