# Fails when a string of the window's sources (tr(), QT_TRANSLATE_NOOP) has no translation in a
# translations/marbeck_<language>.ts file: lupdate brings a copy of each file up to date with the
# sources, and any message it leaves unfinished is named. Run by ctest (translations_complete).
file(GLOB TsFiles ${SOURCE_DIR}/translations/marbeck_*.ts)
file(GLOB Sources ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/payload/*.cpp
     ${SOURCE_DIR}/render/*.cpp ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/util/*.cpp)
if(NOT TsFiles)
  message(FATAL_ERROR "no translations in ${SOURCE_DIR}/translations")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
set(Missing "")
foreach(Ts ${TsFiles})
  get_filename_component(Name ${Ts} NAME)
  file(COPY ${Ts} DESTINATION ${WORK_DIR})
  execute_process(COMMAND ${LUPDATE} -silent -no-obsolete -locations none ${Sources}
                          -ts ${WORK_DIR}/${Name}
                  RESULT_VARIABLE Status)
  if(NOT Status EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${Name}")
  endif()
  file(READ ${WORK_DIR}/${Name} Text)
  string(REGEX MATCHALL "<source>[^<]*</source>[ \n\r\t]*<translation type=\"unfinished\"" Open
         "${Text}")
  foreach(Entry ${Open})
    string(REGEX REPLACE "<source>([^<]*)</source>.*" "\\1" Source "${Entry}")
    string(APPEND Missing "  ${Name}: ${Source}\n")
  endforeach()
endforeach()
if(Missing)
  message(FATAL_ERROR "strings without a translation (translate them in Qt Linguist, see the "
                      "README):\n${Missing}")
endif()
