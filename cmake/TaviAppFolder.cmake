# Assembles the runnable application folder build/app: the program, the contents of app/,
# and sorn/dic/unidic pointing at the installed UniDic dictionary.
set(TAVI_APP_OUT ${CMAKE_BINARY_DIR}/app)
set(TAVI_UNIDIC_DIR "/var/lib/mecab/dic/unidic" CACHE PATH "Installed UniDic dictionary")
add_custom_target(appfolder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVI_APP_OUT}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/app ${TAVI_APP_OUT}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tavi> ${TAVI_APP_OUT}/
  COMMENT "Assembling the application folder in ${TAVI_APP_OUT}")
add_dependencies(appfolder tavi)
if(NOT WIN32)
  add_custom_command(TARGET appfolder POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVI_APP_OUT}/sorn/dic
    COMMAND ${CMAKE_COMMAND} -E create_symlink ${TAVI_UNIDIC_DIR} ${TAVI_APP_OUT}/sorn/dic/unidic)
endif()
