# The program's icon file, drawn at build time by a host tool (tools/program_icon) from the same
# code that draws the tray icons. A cross build has no host target of its own, so the tool is
# compiled with the host's compiler by a custom command. Defines UNW_ICON_PATH and the target
# unwindle_program_icon that makes it.
find_program(UNW_HOST_CXX NAMES c++ g++ REQUIRED)
set(UNW_ICON_TOOL_SOURCES
  ${PROJECT_SOURCE_DIR}/tools/program_icon/make_program_icon.cpp
  ${PROJECT_SOURCE_DIR}/tools/png/png_file.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/program_icon.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/tray_icon_art.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/icon_raster.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/icon_clock.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/icon_modem.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/icon_moon.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/icon_tank.cpp
  ${PROJECT_SOURCE_DIR}/resources/icons/icon_traffic.cpp)
file(GLOB UNW_ICON_TOOL_HEADERS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/resources/icons/*.h ${PROJECT_SOURCE_DIR}/tools/png/*.h)
set(UNW_ICON_TOOL ${CMAKE_BINARY_DIR}/host/make_program_icon)
set(UNW_ICON_PATH ${CMAKE_BINARY_DIR}/host/unwindle.ico)
add_custom_command(OUTPUT ${UNW_ICON_TOOL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${UNW_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -I${PROJECT_SOURCE_DIR}
          ${UNW_ICON_TOOL_SOURCES} -lz -o ${UNW_ICON_TOOL}
  DEPENDS ${UNW_ICON_TOOL_SOURCES} ${UNW_ICON_TOOL_HEADERS}
  COMMENT "Building the host tool make_program_icon"
  VERBATIM)
add_custom_command(OUTPUT ${UNW_ICON_PATH}
  COMMAND ${UNW_ICON_TOOL} ${UNW_ICON_PATH}
  DEPENDS ${UNW_ICON_TOOL}
  COMMENT "Drawing the program icon"
  VERBATIM)
add_custom_target(unwindle_program_icon DEPENDS ${UNW_ICON_PATH})
