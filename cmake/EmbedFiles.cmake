# Writes a C++ source file that holds the bytes of some files as constant
# arrays, so that the game carries them inside its executable.
#   -DOUT=<file.cpp>  -DNAMESPACE=<C++ namespace>
#   -DFILES=<path|path|...>  -DSYMBOLS=<symbol|symbol|...>  (one symbol per file;
#   bars rather than semicolons, which do not survive a build command line)
# Each file becomes `extern const unsigned char <symbol>[]` and
# `extern const std::size_t <symbol>Size`.
string(REPLACE "|" ";" FILES "${FILES}")
string(REPLACE "|" ";" SYMBOLS "${SYMBOLS}")
list(LENGTH FILES count)
list(LENGTH SYMBOLS symbols)
if(NOT count EQUAL symbols)
  message(FATAL_ERROR "EmbedFiles: ${count} files but ${symbols} symbols")
endif()
set(text "// Made by the build from the files named below (cmake/EmbedFiles.cmake); not edited by hand.\n")
string(APPEND text "#include <cstddef>\n\nnamespace ${NAMESPACE} {\n")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET FILES ${i} file)
  list(GET SYMBOLS ${i} symbol)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "EmbedFiles: ${file} is missing")
  endif()
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Twenty bytes a line.
  string(REPEAT "0x..," 20 line)
  string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
  get_filename_component(name "${file}" NAME)
  string(APPEND text "\n// ${name}\nextern const unsigned char ${symbol}[] = {\n    ${bytes}\n};\n")
  string(APPEND text "extern const std::size_t ${symbol}Size = ${size};\n")
endforeach()
string(APPEND text "\n}  // namespace ${NAMESPACE}\n")
file(WRITE "${OUT}" "${text}")
