# The Windows build: the game on the Win32 platform, one self-contained
# diamond.exe with its resources, the portable zip and the installer.
enable_language(RC)
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE)
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -s)

add_library(windows_platform STATIC core/windows/windows_platform.cpp core/windows/gdi_canvas.cpp)
target_link_libraries(windows_platform PUBLIC forms_runtime gdi32 user32 winmm)

set(ICON_FILE ${CMAKE_CURRENT_BINARY_DIR}/diamond.ico)
add_custom_command(OUTPUT ${ICON_FILE}
  COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/app/windows/make_ico.py ${ICON_FILE}
          ${CMAKE_SOURCE_DIR}/app/icons/16.png ${CMAKE_SOURCE_DIR}/app/icons/24.png
          ${CMAKE_SOURCE_DIR}/app/icons/32.png ${CMAKE_SOURCE_DIR}/app/icons/48.png
          ${CMAKE_SOURCE_DIR}/app/icons/256.png
  DEPENDS app/windows/make_ico.py VERBATIM)
list(GET GAME_FONTS 0 FONT_REGULAR)
list(GET GAME_FONTS 1 FONT_BOLD)
set(MANIFEST_FILE ${CMAKE_SOURCE_DIR}/app/windows/diamond.manifest)
configure_file(app/windows/diamond.rc.in diamond.rc @ONLY)
configure_file(app/windows/fonts.rc.in fonts.rc @ONLY)
set(GAME_FONTS_RC ${CMAKE_CURRENT_BINARY_DIR}/fonts.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/diamond.rc PROPERTIES
  OBJECT_DEPENDS "${ICON_FILE};${MANIFEST_FILE}")
set_source_files_properties(${GAME_FONTS_RC} PROPERTIES OBJECT_DEPENDS "${GAME_FONTS}")

add_executable(diamond WIN32 app/windows/main.cpp ${CMAKE_CURRENT_BINARY_DIR}/diamond.rc ${GAME_FONTS_RC})
target_link_libraries(diamond PRIVATE game windows_platform)

# The portable zip and the per-user installer, beside the program.
find_program(ZIP zip REQUIRED)
find_program(MAKENSIS makensis REQUIRED)
set(ZIP_FILE ${CMAKE_BINARY_DIR}/diamond-${PROJECT_VERSION}-windows-x64.zip)
set(SETUP_FILE ${CMAKE_BINARY_DIR}/diamond-${PROJECT_VERSION}-windows-x64-setup.exe)
add_custom_command(OUTPUT ${ZIP_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${ZIP_FILE}
  COMMAND ${ZIP} -X -j -q ${ZIP_FILE} $<TARGET_FILE:diamond> ${CMAKE_SOURCE_DIR}/app/copyright
  DEPENDS diamond app/copyright VERBATIM)
add_custom_command(OUTPUT ${SETUP_FILE}
  COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=$<TARGET_FILE:diamond>
          -DICON=${ICON_FILE} -DLICENCE=${CMAKE_SOURCE_DIR}/app/copyright -DOUTPUT=${SETUP_FILE}
          ${CMAKE_SOURCE_DIR}/app/windows/installer.nsi
  DEPENDS diamond app/windows/installer.nsi ${ICON_FILE} VERBATIM)
add_custom_target(windows_packages ALL DEPENDS ${ZIP_FILE} ${SETUP_FILE})

if(DIAMOND_TESTS)
  enable_testing()
  add_subdirectory(tests/windows)
endif()
if(DIAMOND_BENCH)
  add_subdirectory(bench/windows)
endif()
