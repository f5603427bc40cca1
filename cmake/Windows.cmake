# The Windows programs: each carries a version resource and a manifest (per-monitor DPI, UTF-8
# as the process code page, long paths), the game also its icon. The game is a windowed
# program; plemby.com is its console twin, which cmd and PowerShell start before plemby.exe
# when "plemby" is typed, so that --help, --version and --verify-replay print to the console
# and give their exit status there.
enable_language(RC)

string(REPLACE "." "," PLEMBY_RC_VERSION_COMMAS "${PROJECT_VERSION}.0")
set(PLEMBY_RC_VERSION_DOTS "${PROJECT_VERSION}.0")

function(plemby_windows_resources target file description icon)
  set(PLEMBY_RC_NAME ${target})
  set(PLEMBY_RC_FILE ${file})
  set(PLEMBY_RC_DESCRIPTION ${description})
  set(PLEMBY_RC_MANIFEST ${CMAKE_BINARY_DIR}/windows/${file}.manifest)
  set(PLEMBY_RC_ICON "")
  if(icon)
    # The document's icon id.
    set(PLEMBY_RC_ICON "104 ICON \"${icon}\"")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/data/windows/program.manifest.in ${PLEMBY_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/data/windows/program.rc.in
                 ${CMAKE_BINARY_DIR}/windows/${file}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/windows/${file}.rc)
  set_property(SOURCE ${CMAKE_BINARY_DIR}/windows/${file}.rc APPEND PROPERTY OBJECT_DEPENDS
               ${PLEMBY_RC_MANIFEST} ${icon})
endfunction()

set(PLEMBY_WINDOWS_ICON ${CMAKE_SOURCE_DIR}/data/icons/plemby.ico)
set_target_properties(plemby PROPERTIES WIN32_EXECUTABLE ON)
plemby_windows_resources(plemby plemby.exe "Plemby!" ${PLEMBY_WINDOWS_ICON})

add_executable(plemby_console src/app/main.cpp)
target_link_libraries(plemby_console PRIVATE plemby_core)
set_target_properties(plemby_console PROPERTIES OUTPUT_NAME plemby SUFFIX ".com")
plemby_windows_resources(plemby_console plemby.com "Plemby! (console)" ${PLEMBY_WINDOWS_ICON})

if(TARGET xmrender)
  plemby_windows_resources(xmrender xmrender.exe "Plemby! XM renderer" "")
endif()
