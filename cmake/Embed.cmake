# form13f_embed(OUTPUT_VARIABLE NAME INPUT [JOIN_LINES] [TOKEN word FILE file]):
# a generated source defining `const char NAME[]` with INPUT's text; its path
# is put in OUTPUT_VARIABLE, to be added to a target's sources.
function(form13f_embed output name input)
  cmake_parse_arguments(EMBED "JOIN_LINES" "TOKEN;FILE" "" ${ARGN})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  set(arguments -DINPUT=${input} -DOUTPUT=${source} -DNAME=${name})
  set(depends ${input})
  if(EMBED_JOIN_LINES)
    list(APPEND arguments -DJOIN_LINES=ON)
  endif()
  if(EMBED_TOKEN)
    list(APPEND arguments -DTOKEN=${EMBED_TOKEN} -DTOKEN_FILE=${EMBED_FILE})
    list(APPEND depends ${EMBED_FILE})
  endif()
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} ${arguments} -P ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake
    DEPENDS ${depends} ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake VERBATIM)
  set(${output} ${source} PARENT_SCOPE)
endfunction()
