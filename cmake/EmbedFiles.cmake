# Writes BinaryData.h and BinaryData.cpp that hold files as byte arrays, each under a
# name of our choosing: BinaryData::<name> (const char*) and BinaryData::<name>Size.
#
# Run as a script: cmake -DOUTPUT_DIR=dir -DENTRIES="name;file;name;file..." -P EmbedFiles.cmake

set(header "// Generated from the toolbar images at build time.\n#pragma once\n\nnamespace BinaryData\n{\n")
set(source "// Generated from the toolbar images at build time.\n#include \"BinaryData.h\"\n\nnamespace BinaryData\n{\n")

set(entries ${ENTRIES})
while(entries)
    list(POP_FRONT entries name file)
    file(READ "${file}" bytes HEX)
    string(LENGTH "${bytes}" hex_length)
    math(EXPR size "${hex_length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")

    string(APPEND header "    extern const char* ${name};\n    const int ${name}Size = ${size};\n\n")
    string(APPEND source "static const unsigned char ${name}Data[] =\n{\n    ${bytes}\n};\n\n")
    string(APPEND source "const char* ${name} = reinterpret_cast<const char*> (${name}Data);\n\n")
endwhile()

string(APPEND header "}\n")
string(APPEND source "}\n")

file(WRITE "${OUTPUT_DIR}/BinaryData.h.new" "${header}")
file(WRITE "${OUTPUT_DIR}/BinaryData.cpp.new" "${source}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT_DIR}/BinaryData.h.new" "${OUTPUT_DIR}/BinaryData.h")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT_DIR}/BinaryData.cpp.new" "${OUTPUT_DIR}/BinaryData.cpp")
