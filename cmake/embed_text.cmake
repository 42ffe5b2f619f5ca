# Writes a C++ source that holds the text of a file as a constant, so that the
# page's markup and style are kept as files of their own and built in.
#   cmake -DINPUT=file -DOUTPUT=source.cpp -DNAME=kName [-DJOIN_LINES=ON]
#         [-DTOKEN=@WORD@ -DTOKEN_FILE=file] -P embed_text.cmake
# JOIN_LINES drops the line ends, so that markup may be written a tag a line
# and still be the one line it was; TOKEN is replaced by TOKEN_FILE's text.
file(READ "${INPUT}" text)
if(JOIN_LINES)
  string(REPLACE "\n" "" text "${text}")
endif()
if(TOKEN)
  file(READ "${TOKEN_FILE}" inserted)
  string(REGEX REPLACE "\n$" "" inserted "${inserted}")
  string(REPLACE "${TOKEN}" "${inserted}" text "${text}")
endif()
file(WRITE "${OUTPUT}.new" "// Made from ${INPUT} when building; edit that file instead.\nextern const char ${NAME}[];\nconst char ${NAME}[] = R\"embedded(${text})embedded\";\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
