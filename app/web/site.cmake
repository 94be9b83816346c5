# The game in a browser: the core and the screens on the web platform,
# compiled with emscripten, and the static site that plays it, in
# build/web/site. Any static file server can host that folder.
set(SITE ${CMAKE_BINARY_DIR}/site)

add_library(web_platform STATIC core/web/web_platform.cpp core/web/web_render.cpp core/web/dom_keys.cpp)
target_link_libraries(web_platform PUBLIC forms_runtime)
target_link_options(web_platform INTERFACE "SHELL:--js-library ${CMAKE_SOURCE_DIR}/core/web/page_queue.js")

add_executable(diamond_web app/web/main.cpp)
target_link_libraries(diamond_web PRIVATE game computer web_platform)
set(PROGRAM ${CMAKE_BINARY_DIR}/program)
set_target_properties(diamond_web PROPERTIES OUTPUT_NAME diamond SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${PROGRAM}
                      LINK_DEPENDS "${CMAKE_SOURCE_DIR}/core/web/page.js;${CMAKE_SOURCE_DIR}/core/web/page_canvas.js;${CMAKE_SOURCE_DIR}/app/web/player2.js;${CMAKE_SOURCE_DIR}/app/web/pads.js")
# Asyncify lets the program suspend inside a handler (the swing's wait, the
# message box) while the page runs; page_wait is where it suspends. The page
# starts the program with ccall once its font has loaded.
set(WEB_PROGRAM_OPTIONS
  -sASYNCIFY -sASYNCIFY_IMPORTS=[page_wait] -sASYNCIFY_STACK_SIZE=65536
  -sMODULARIZE -sENVIRONMENT=web -sDYNAMIC_EXECUTION=0 -sINVOKE_RUN=0 -sEXPORTED_RUNTIME_METHODS=[ccall]
  -sINITIAL_MEMORY=16MB -sTOTAL_STACK=1MB "SHELL:--js-library ${CMAKE_SOURCE_DIR}/core/web/page.js"
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/core/web/page_canvas.js")
# The page hands the game its bytes, so its loader fetches nothing; the loader
# compiles them at once, instead of in a task that waits behind the page's own
# first frame.
target_link_options(diamond_web PRIVATE ${WEB_PROGRAM_OPTIONS} -sWASM_ASYNC_COMPILATION=0 -sEXPORT_NAME=createDiamond
                    "SHELL:--js-library ${CMAKE_SOURCE_DIR}/app/web/player2.js"
                    "SHELL:--js-library ${CMAKE_SOURCE_DIR}/app/web/pads.js")

# The two-screen program, loaded only when a player invites a friend or
# opens an invitation: the same game on the shared loop, and the page's side
# of the peer connection (friend.js, configured with where to signal and
# which ICE servers to ask).
set(DIAMOND_SIGNAL_URL "" CACHE STRING "Signalling server's WebSocket address; empty: the page's own origin")
set(DIAMOND_STUN_URLS "stun:stun.l.google.com:19302" CACHE STRING "STUN servers, separated by spaces")
set(DIAMOND_TURN_URL "" CACHE STRING "A TURN server, optional: turn:host:port")
set(DIAMOND_TURN_USER "" CACHE STRING "The TURN server's user name")
set(DIAMOND_TURN_PASSWORD "" CACHE STRING "The TURN server's password")
add_executable(diamond_two app/web/two_screens/main.cpp)
target_link_libraries(diamond_two PRIVATE game lockstep web_platform)
set_target_properties(diamond_two PROPERTIES OUTPUT_NAME two SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${PROGRAM}
                      LINK_DEPENDS "${CMAKE_SOURCE_DIR}/core/web/page.js;${CMAKE_SOURCE_DIR}/core/web/page_canvas.js;${CMAKE_SOURCE_DIR}/app/web/two_screens/link.js;${CMAKE_SOURCE_DIR}/app/web/player2.js;${CMAKE_SOURCE_DIR}/app/web/pads.js")
# Its memory may grow: a rejoining screen's welcome can hold hours of play.
target_link_options(diamond_two PRIVATE ${WEB_PROGRAM_OPTIONS} -sALLOW_MEMORY_GROWTH -sEXPORT_NAME=createDiamondTwo
                    "SHELL:--js-library ${CMAKE_SOURCE_DIR}/app/web/two_screens/link.js"
                    "SHELL:--js-library ${CMAKE_SOURCE_DIR}/app/web/player2.js"
                    "SHELL:--js-library ${CMAKE_SOURCE_DIR}/app/web/pads.js")
string(REGEX MATCH "^[a-z]+://[^/?#]+" SIGNAL_ORIGIN "${DIAMOND_SIGNAL_URL}")
configure_file(${CMAKE_SOURCE_DIR}/app/web/two_screens/friend.js.in ${PROGRAM}/friend.js @ONLY)

# The page holds its style, its scripts, the program and the fonts; beside
# it only the manifest, the icons and the service worker.
set(PAGE_PARTS page.css ${PROGRAM}/diamond.js ${PROGRAM}/diamond.wasm ${GAME_FONTS} boot.js)
add_custom_target(site ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${SITE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SITE}/icons
  COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/app/web/make_page.py index.html.in ${PAGE_PARTS} ${SITE}/index.html "${SIGNAL_ORIGIN}"
  COMMAND ${CMAKE_COMMAND} -E copy manifest.webmanifest ${SITE}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/app/icons/32.png ${CMAKE_SOURCE_DIR}/app/icons/256.png ${SITE}/icons
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/app/icons/${APP_ID}.svg ${SITE}/icons/icon.svg
  COMMAND ${CMAKE_COMMAND} -E copy icons/180.png icons/maskable-512.png ${SITE}/icons
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SITE}/two
  COMMAND ${CMAKE_COMMAND} -E copy ${PROGRAM}/two.js ${PROGRAM}/two.wasm ${PROGRAM}/friend.js
          ${CMAKE_SOURCE_DIR}/app/web/two_screens/qr.js ${CMAKE_SOURCE_DIR}/app/web/two_screens/friend.css ${SITE}/two
  COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/app/web/make_service_worker.py ${CMAKE_SOURCE_DIR}/app/web/sw.js.in ${SITE}
  DEPENDS diamond_web diamond_two ${PROGRAM}/friend.js ${GAME_FONTS}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/app/web
  VERBATIM)

if(DIAMOND_TESTS)
  enable_testing()
  add_subdirectory(tests/web)
endif()

# The web platform's timer cadence, for bench/run.sh: build/web/bench.
if(DIAMOND_BENCH)
  add_executable(web_cadence bench/web/cadence.cpp)
  target_link_libraries(web_cadence PRIVATE web_platform)
  set_target_properties(web_cadence PROPERTIES OUTPUT_NAME cadence SUFFIX .js
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench
                        LINK_DEPENDS "${CMAKE_SOURCE_DIR}/core/web/page.js;${CMAKE_SOURCE_DIR}/core/web/page_canvas.js")
  target_link_options(web_cadence PRIVATE ${WEB_PROGRAM_OPTIONS} -sEXPORT_NAME=createCadence)
  add_custom_command(TARGET web_cadence POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/bench/web/cadence.html ${CMAKE_SOURCE_DIR}/bench/web/bare_flight.html
            ${CMAKE_SOURCE_DIR}/app/web/page.css
            ${CMAKE_BINARY_DIR}/bench)
endif()
