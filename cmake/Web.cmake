# The browser build: the game as plemby.js and plemby.wasm beside our own page and its files.
# Any static file host serves the folder as it is; no special response headers.
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

# The page's own files beside the game: the page, its touch controls, the manifest that lets a
# phone install it and the icons it names (made by tools/assetgen), then the service worker
# that keeps them all, versioned by their contents.
set(PLEMBY_PAGE_SOURCES
  index.html=${CMAKE_SOURCE_DIR}/web/index.html
  touch.js=${CMAKE_SOURCE_DIR}/web/touch.js
  manifest.webmanifest=${CMAKE_SOURCE_DIR}/web/manifest.webmanifest
  icon.png=${CMAKE_SOURCE_DIR}/resources/ICON/104.png
  icon-192.png=${CMAKE_SOURCE_DIR}/data/web/icon-192.png
  icon-512.png=${CMAKE_SOURCE_DIR}/data/web/icon-512.png)
set(page_outputs "")
set(page_names "")
foreach(entry ${PLEMBY_PAGE_SOURCES})
  string(REGEX REPLACE "=.*" "" name "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" source "${entry}")
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_BINARY_DIR}/${name}
    DEPENDS ${source})
  list(APPEND page_outputs ${CMAKE_BINARY_DIR}/${name})
  list(APPEND page_names ${name})
endforeach()
list(APPEND page_names plemby.js plemby.wasm)
string(REPLACE ";" "," page_files "${page_names}")
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/service-worker.js
  COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_BINARY_DIR} -DFILES=${page_files}
          -DTEMPLATE=${CMAKE_SOURCE_DIR}/web/service_worker.js.in
          -DOUTPUT=${CMAKE_BINARY_DIR}/service-worker.js
          -P ${CMAKE_SOURCE_DIR}/cmake/WebServiceWorker.cmake
  DEPENDS plemby ${page_outputs} ${CMAKE_SOURCE_DIR}/web/service_worker.js.in
          ${CMAKE_SOURCE_DIR}/cmake/WebServiceWorker.cmake)
add_custom_target(plemby_page ALL DEPENDS ${page_outputs} ${CMAKE_BINARY_DIR}/service-worker.js)

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
