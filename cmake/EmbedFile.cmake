# Turns one file into a C++ array, in the manner of JUCE's BinaryData:
#   cmake -DINPUT=<file> -DOUTPUT_DIR=<folder> -DSYMBOL=<name> -P EmbedFile.cmake
# writes <folder>/<name>.h, declaring BinaryData::<name> and
# BinaryData::<name>Size, and <folder>/<name>.cpp, defining them.

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")

file(WRITE "${OUTPUT_DIR}/${SYMBOL}.h"
"// Made by the build from a file of resources/; not to be edited.
#pragma once

namespace BinaryData
{
extern const unsigned char ${SYMBOL}[];
extern const int ${SYMBOL}Size;
}
")

file(WRITE "${OUTPUT_DIR}/${SYMBOL}.cpp"
"// Made by the build from a file of resources/; not to be edited.
#include \"${SYMBOL}.h\"

namespace BinaryData
{
const unsigned char ${SYMBOL}[] = {
    ${bytes}
};
const int ${SYMBOL}Size = ${size};
}
")
