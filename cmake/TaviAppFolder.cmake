# Assembles the runnable application folder build/app: the program and the contents of app/.
# On Linux sorn/dic/unidic points at the installed UniDic dictionary. On Windows the language
# module's folder moves to extras/sorn (MeCab is not shipped: docs/windows.md), and the folder
# is packed as tavi-<version>-windows-x64.zip with one top folder "tavi".
set(TAVI_APP_OUT ${CMAKE_BINARY_DIR}/app)
set(TAVI_UNIDIC_DIR "/var/lib/mecab/dic/unidic" CACHE PATH "Installed UniDic dictionary")
add_custom_target(appfolder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVI_APP_OUT}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/app ${TAVI_APP_OUT}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tavi> ${TAVI_APP_OUT}/
  COMMENT "Assembling the application folder in ${TAVI_APP_OUT}")
add_dependencies(appfolder tavi)
if(WIN32)
  set(TAVI_ZIP ${CMAKE_BINARY_DIR}/tavi-${PROJECT_VERSION}-windows-x64.zip)
  set(TAVI_ZIP_STAGE ${CMAKE_BINARY_DIR}/zip-stage)
  add_custom_command(TARGET appfolder POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${TAVI_APP_OUT}/sorn ${TAVI_APP_OUT}/.keep
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/app/sorn ${TAVI_APP_OUT}/extras/sorn
    # The package is made from the sources, so that the settings, state and logs of runs from
    # the application folder stay out of it.
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${TAVI_ZIP_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVI_ZIP_STAGE}/tavi
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tavi> ${TAVI_ZIP_STAGE}/tavi/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/app/units ${TAVI_ZIP_STAGE}/tavi/units
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/app/resource ${TAVI_ZIP_STAGE}/tavi/resource
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/app/temp ${TAVI_ZIP_STAGE}/tavi/temp
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/app/sorn ${TAVI_ZIP_STAGE}/tavi/extras/sorn
    COMMAND ${CMAKE_COMMAND} -E rm -f ${TAVI_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${TAVI_ZIP_STAGE} ${CMAKE_COMMAND} -E tar cf ${TAVI_ZIP} --format=zip tavi
    COMMENT "Packing ${TAVI_ZIP}")
else()
  add_custom_command(TARGET appfolder POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVI_APP_OUT}/sorn/dic
    COMMAND ${CMAKE_COMMAND} -E create_symlink ${TAVI_UNIDIC_DIR} ${TAVI_APP_OUT}/sorn/dic/unidic)
endif()
