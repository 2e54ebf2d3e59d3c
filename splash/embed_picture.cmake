# cmake -DINPUT=<png> -DOUTPUT=<cpp> -P embed_picture.cmake
# Writes the picture as the two symbols that the Linux
# load_resource_splash_image refers to (weakly: a program may have none).
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n" bytes "${bytes}")
if(size EQUAL 0)
  set(bytes "0")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}: the splash picture IDI_SPLASHIMAGE of type PNG.
extern \"C\" {
extern const unsigned char splash_resource_PNG_IDI_SPLASHIMAGE[] = {
${bytes}
};
extern const unsigned long long splash_resource_PNG_IDI_SPLASHIMAGE_size = ${size};
}
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
