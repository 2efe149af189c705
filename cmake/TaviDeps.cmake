# Third-party dependencies of both libraries, as interface targets.
add_library(tavi_core_deps INTERFACE)
add_library(tavi_ui_deps INTERFACE)

find_package(Threads REQUIRED)
target_link_libraries(tavi_core_deps INTERFACE Threads::Threads)

if(WIN32)
  # Static runtime, so the .exe runs alone.
  target_link_options(tavi_core_deps INTERFACE -static -static-libgcc -static-libstdc++)
  target_compile_definitions(tavi_core_deps INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  target_link_libraries(tavi_core_deps INTERFACE ole32 shell32 winmm wininet crypt32)
  target_link_libraries(tavi_ui_deps INTERFACE user32 gdi32 gdiplus imm32 comctl32 shlwapi)
  # Header-only pieces from the host: give the cross compiler the host's copies alone (the
  # whole host include folder would shadow the MinGW headers). nlohmann/json is header-only.
  find_path(TAVI_NLOHMANN_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(COPY ${TAVI_NLOHMANN_DIR}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/host-headers)
  # MeCab is loaded at run time on Windows; its header gives the C interface's types.
  find_path(TAVI_MECAB_HEADER_DIR mecab.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(COPY ${TAVI_MECAB_HEADER_DIR}/mecab.h DESTINATION ${CMAKE_BINARY_DIR}/host-headers)
  target_include_directories(tavi_core_deps INTERFACE ${CMAKE_BINARY_DIR}/host-headers)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
  pkg_check_modules(PANGOFT2 REQUIRED IMPORTED_TARGET pangoft2)
  target_link_libraries(tavi_ui_deps INTERFACE PkgConfig::PANGOFT2)
  pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xext xscrnsaver)
  pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
  target_link_libraries(tavi_ui_deps INTERFACE PkgConfig::GTK3 PkgConfig::FONTCONFIG PkgConfig::X11)
  target_link_libraries(tavi_core_deps INTERFACE PkgConfig::CURL)

  # MeCab and the packaged JSON reader for the language module's settings.
  find_library(MECAB_LIBRARY mecab REQUIRED)
  find_path(MECAB_INCLUDE_DIR mecab.h REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(tavi_core_deps INTERFACE ${MECAB_LIBRARY} nlohmann_json::nlohmann_json)
  target_include_directories(tavi_core_deps INTERFACE ${MECAB_INCLUDE_DIR})
endif()
