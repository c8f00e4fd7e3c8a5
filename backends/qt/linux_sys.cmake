# The Linux back end's system services: settings and files under the XDG folders, the start at
# sign-in, the session's one program over a local socket, presence and locking from logind, the
# session and X11, sound through ALSA, the shell, the languages and the calendar. Qt Core and
# Qt D-Bus only, so that it serves without a QApplication; the program (qtcore's target) links it.
find_package(Qt6 REQUIRED COMPONENTS Core DBus)
find_package(PkgConfig REQUIRED)
pkg_check_modules(UNW_LINUX_SYS REQUIRED IMPORTED_TARGET xcb xcb-screensaver alsa)

# The built-in clips, carried inside the program as Windows carries its WAVE resources.
set(UNW_CLIPS BICYCLE CHIMES CONGRATULATIONS DOORBELL EASTERN HARP LIFE NIGHTENGALE OWL ROOSTER
  RUBBERDUCK SPARROW PHONE WATERDROP XYLOPHONE SHORTSTART SHORTEND)
set(UNW_CLIP_FILES "")
set(UNW_CLIP_PATHS "")
foreach(clip ${UNW_CLIPS})
  string(TOLOWER ${clip} file)
  string(APPEND UNW_CLIP_FILES "|${clip}=${PROJECT_SOURCE_DIR}/resources/sounds/${file}.uwc")
  list(APPEND UNW_CLIP_PATHS ${PROJECT_SOURCE_DIR}/resources/sounds/${file}.uwc)
endforeach()
set(UNW_CLIPS_CPP ${CMAKE_CURRENT_BINARY_DIR}/clips_linux.cpp)
add_custom_command(OUTPUT ${UNW_CLIPS_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUT=${UNW_CLIPS_CPP} -DTABLE=kClips "-DFILES=${UNW_CLIP_FILES}"
          -P ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake ${UNW_CLIP_PATHS}
  COMMENT "Carrying the built-in clips" VERBATIM)

# The catalogues' pack (po/CMakeLists.txt), carried the same way.
set(UNW_MO_ENTRIES "|catalogues=${UNW_PACK}")
set(UNW_CATALOGUES_CPP ${CMAKE_CURRENT_BINARY_DIR}/catalogues_linux.cpp)
add_custom_command(OUTPUT ${UNW_CATALOGUES_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUT=${UNW_CATALOGUES_CPP} -DTABLE=kCatalogues "-DFILES=${UNW_MO_ENTRIES}"
          -P ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake ${UNW_PACK}
  COMMENT "Carrying the catalogues" VERBATIM)

add_library(unwindle_linux_sys STATIC
  backends/qt/files_linux.cpp
  backends/qt/storage_linux.cpp
  backends/qt/settings_storage_linux.cpp
  backends/qt/program_instance_linux.cpp
  backends/qt/shell_linux.cpp
  backends/qt/languages_linux.cpp
  backends/qt/calendar_linux.cpp
  backends/qt/sound_linux.cpp
  backends/qt/busy_signs_linux.cpp
  backends/qt/presence_linux.cpp
  ${UNW_CLIPS_CPP}
  ${UNW_CATALOGUES_CPP}
)
# The presence's D-Bus listener has slots.
set_target_properties(unwindle_linux_sys PROPERTIES AUTOMOC ON)
target_link_libraries(unwindle_linux_sys PUBLIC unwindle_core Qt6::Core Qt6::DBus
  PRIVATE PkgConfig::UNW_LINUX_SYS)
