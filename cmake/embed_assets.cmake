# Text files of the source tree (a page's styles and scripts) made into string constants of a
# generated header, so that they are edited as what they are and compiled in. A script also gets
# the Content-Security-Policy source that allows it: "sha256-" and the base64 of the SHA-256 of the
# constant's bytes, computed here, so the hash changes with the script and is never written by hand.
#
#   tavolex_embed_assets(HEADER <file> NAMESPACE <namespace>
#                        [STYLES <constant> <file>...] [SCRIPTS <constant> <file>...])
#
# A style's constant is the file's bytes; a script's is a line break and the file's bytes (the page
# writes it between <script> and </script>, so it starts on a line of its own), and <constant>Hash
# its policy source. The header is made when CMake runs, again whenever one of the files changes,
# and rewritten only when its text changes.

# The base64 (RFC 4648, padded) of the bytes a text of hexadecimal digits spells.
function(tavolex_hex_to_base64 hex out)
  set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
  string(LENGTH "${hex}" length)
  set(result "")
  set(at 0)
  while(at LESS length)
    # Three bytes (six digits) at a time make four characters; a shorter last group is padded.
    string(SUBSTRING "${hex}" ${at} 6 group)
    string(LENGTH "${group}" digits)
    set(padded "${group}")
    string(LENGTH "${padded}" padded_length)
    while(padded_length LESS 6)
      string(APPEND padded "0")
      string(LENGTH "${padded}" padded_length)
    endwhile()
    math(EXPR value "0x${padded}")
    math(EXPR characters "${digits} / 2 + 1")
    foreach(shift 18 12 6 0)
      math(EXPR shown "(24 - ${shift}) / 6")
      if(shown GREATER characters)
        string(APPEND result "=")
      else()
        math(EXPR index "(${value} >> ${shift}) & 63")
        string(SUBSTRING "${alphabet}" ${index} 1 character)
        string(APPEND result "${character}")
      endif()
    endforeach()
    math(EXPR at "${at} + 6")
  endwhile()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(tavolex_embed_assets)
  cmake_parse_arguments(ARG "" "HEADER;NAMESPACE" "STYLES;SCRIPTS" ${ARGN})
  # The raw string literals end at this mark, which no file may hold.
  set(mark "tavolex_asset")
  set(text "#pragma once\n// Made by the build (cmake/embed_assets.cmake) from the files each constant names: edit those.\n\n")
  string(APPEND text "#include <string_view>\n\nnamespace ${ARG_NAMESPACE} {\n")
  foreach(kind STYLES SCRIPTS)
    set(pairs ${ARG_${kind}})
    list(LENGTH pairs count)
    while(count GREATER 0)
      list(POP_FRONT pairs name file)
      list(LENGTH pairs count)
      set(path "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
      file(READ "${path}" content)
      string(FIND "${content}" ")${mark}\"" clash)
      if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${file} holds \")${mark}\", which ends the constant made of it")
      endif()
      if(kind STREQUAL "SCRIPTS")
        set(content "\n${content}")
      endif()
      string(APPEND text "\n// ${file}\ninline constexpr std::string_view ${name} = R\"${mark}(${content})${mark}\";\n")
      if(kind STREQUAL "SCRIPTS")
        string(SHA256 digest "${content}")
        tavolex_hex_to_base64("${digest}" hash)
        string(APPEND text "inline constexpr std::string_view ${name}Hash = \"sha256-${hash}\";\n")
      endif()
    endwhile()
  endforeach()
  string(APPEND text "\n}  // namespace ${ARG_NAMESPACE}\n")
  file(WRITE "${ARG_HEADER}.new" "${text}")
  configure_file("${ARG_HEADER}.new" "${ARG_HEADER}" COPYONLY)
endfunction()
