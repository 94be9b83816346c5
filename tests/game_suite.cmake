# The scripted platform and the game suite on it: no toolkit, so the same
# tests run natively and, compiled to WebAssembly, under Node.
add_library(scripted_platform STATIC ${CMAKE_CURRENT_LIST_DIR}/support/scripted_platform.cpp)
target_link_libraries(scripted_platform PUBLIC game)

set(GAME_SUITE_FILES
  clock_test.cpp
  computer_test.cpp
  convert_test.cpp
  draws_test.cpp
  drawing_test.cpp
  forms_test.cpp
  layout_test.cpp
  scripted_platform_test.cpp
  pitch_screen_test.cpp
  umpire_test.cpp
  hit_view_test.cpp
  stats_screen_test.cpp)
list(TRANSFORM GAME_SUITE_FILES PREPEND ${CMAKE_CURRENT_LIST_DIR}/ OUTPUT_VARIABLE GAME_SUITE)
