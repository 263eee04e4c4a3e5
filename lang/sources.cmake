list(APPEND VORLIX_CORE_SOURCES
  lang/MemIniFile.cpp
  lang/IniLangEx.cpp
  lang/vorlixLangDefault.cpp
)

# The language files shipped with the program go into "Lang/" beside the
# built programs, where the program looks for them.
set(VORLIX_LANGUAGE_FILES English.ini Japanese.ini)
if(CMAKE_RUNTIME_OUTPUT_DIRECTORY)
  set(VORLIX_LANGUAGE_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Lang)
else()
  set(VORLIX_LANGUAGE_DIR ${CMAKE_BINARY_DIR}/Lang)
endif()
set(VORLIX_LANGUAGE_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/files)
set(_vorlix_language_outputs)
foreach(_file ${VORLIX_LANGUAGE_FILES})
  add_custom_command(
    OUTPUT ${VORLIX_LANGUAGE_DIR}/${_file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VORLIX_LANGUAGE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${VORLIX_LANGUAGE_SOURCE_DIR}/${_file} ${VORLIX_LANGUAGE_DIR}/${_file}
    DEPENDS ${VORLIX_LANGUAGE_SOURCE_DIR}/${_file}
    COMMENT "Language file ${_file}")
  list(APPEND _vorlix_language_outputs ${VORLIX_LANGUAGE_DIR}/${_file})
endforeach()
add_custom_target(vorlix_language_files ALL DEPENDS ${_vorlix_language_outputs})
