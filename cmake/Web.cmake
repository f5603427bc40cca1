# The browser build: the game as plemby.js and plemby.wasm beside our own page, index.html, and
# its icon. Any static file host serves the folder as it is; no special response headers.
set_target_properties(plemby PROPERTIES SUFFIX ".js")
target_link_options(plemby PRIVATE
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  # SDL's audio resumes the browser's audio context after the player's first key or click with
  # functions that its own port would have pulled in (named in a file, as their names start
  # with a dollar sign).
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_SOURCE_DIR}/web/library_functions.json
  --pre-js ${CMAKE_SOURCE_DIR}/web/storage.js)
set_property(TARGET plemby APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/storage.js)

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/index.html ${CMAKE_BINARY_DIR}/icon.png
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/index.html ${CMAKE_BINARY_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/ICON/104.png ${CMAKE_BINARY_DIR}/icon.png
  DEPENDS ${CMAKE_SOURCE_DIR}/web/index.html ${CMAKE_SOURCE_DIR}/resources/ICON/104.png)
add_custom_target(plemby_page ALL DEPENDS ${CMAKE_BINARY_DIR}/index.html ${CMAKE_BINARY_DIR}/icon.png)

# The music check (tools/musiccheck) for the browser: the road test runs it in Chromium beside
# the desktop's and compares the two. Not part of the page.
add_executable(musiccheck EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/musiccheck/musiccheck.cpp)
target_link_libraries(musiccheck PRIVATE plemby_core)
set_target_properties(musiccheck PROPERTIES SUFFIX ".js"
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/check)
target_link_options(musiccheck PRIVATE -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1)
add_custom_command(TARGET musiccheck POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/tests/web/musiccheck.html
          ${CMAKE_BINARY_DIR}/check/musiccheck.html)
