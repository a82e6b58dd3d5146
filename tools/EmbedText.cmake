# Writes the file INPUT into OUTPUT as the NUL-terminated array tavim::NAME.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}"
    "// Generated from ${INPUT}; edit that file instead.\n"
    "namespace tavim {\n"
    "extern const char ${NAME}[];\n"
    "const char ${NAME}[] = {${bytes}0x00};\n"
    "} // namespace tavim\n")
