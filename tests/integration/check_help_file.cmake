# Checks that the compiled help says it is Japanese, so that the viewer reads its contents
# in code page 932 on any system: language 0x0411 in the file's header (offset 0x14) and
# in its #SYSTEM record 4 (length 0x24), and the Japanese character set (128) in #SYSTEM
# record 16, the default font "FACE,SIZE,CHARSET". #SYSTEM is stored uncompressed.
# Run with -DHELP=<path to VLR120.chm>.
file(READ ${HELP} header OFFSET 20 LIMIT 4 HEX)
file(READ ${HELP} bytes HEX)
string(HEX "MS PGothic,9,128" font)
foreach(expected "040024001104" "10001100${font}00")
    string(FIND "${bytes}" "${expected}" at)
    if(at EQUAL -1 OR NOT header STREQUAL "11040000")
        message(FATAL_ERROR "${HELP}: language ${header}, lacks ${expected}")
    endif()
endforeach()
