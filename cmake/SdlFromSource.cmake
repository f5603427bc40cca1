# SDL2 and SDL2_image built from the checked-in source tarballs in third_party/, for the builds
# that cannot use the system's packages (Windows, the browser). Nothing is downloaded.
#
# Use: configure the game with the target's toolchain file and -DPLEMBY_SDL_FROM_SOURCE=ON; the
# main CMakeLists.txt then includes this file, which
#   1. checks both tarballs against third_party/SHA256SUMS (a mismatch stops the configure),
#   2. unpacks them into <build>/sdl/src (or PLEMBY_SDL_DIR/src),
#   3. configures, builds and installs SDL2, then SDL2_image, as static libraries into
#      <build>/sdl/prefix (PLEMBY_SDL_DIR/prefix) with the same CMAKE_TOOLCHAIN_FILE, generator and compiler launchers
#      as the game (so an emscripten or mingw-w64 toolchain builds SDL for its own target),
#   4. defines the imported targets SDL2::SDL2-static and SDL2_image::SDL2_image-static and the
#      interface target `plemby_sdl` that links both.
# Only the subsystems the game uses are built; SDL_image has only its built-in (stb) PNG and
# JPEG decoders and its PNG/JPEG writers. A target adds or overrides SDL options with
# -DPLEMBY_SDL_OPTIONS="-DSDL_X=ON;-DSDL_Y=OFF" (a list of cache settings passed to SDL's own
# configure). The result is kept: a stamp holding the checksums and options skips the work when
# nothing changed, so only a fresh build folder pays for it.

set(PLEMBY_SDL_OPTIONS "" CACHE STRING "Extra -D settings for SDL2's own configure (a list)")

# Build folders of the same target may share one SDL build (make windows and make test do).
set(PLEMBY_SDL_DIR ${CMAKE_BINARY_DIR}/sdl CACHE PATH "Where SDL is unpacked, built and installed")
set(PLEMBY_SDL_PREFIX ${PLEMBY_SDL_DIR}/prefix)
set(PLEMBY_THIRD_PARTY ${CMAKE_SOURCE_DIR}/third_party)
set(PLEMBY_SDL_TARBALL libsdl2_2.26.5+dfsg.orig.tar.gz)
set(PLEMBY_SDL_TREE SDL2-2.26.5)
set(PLEMBY_SDL_IMAGE_TARBALL libsdl2-image_2.6.3+dfsg.orig.tar.gz)
set(PLEMBY_SDL_IMAGE_TREE SDL2_image-2.6.3)

# A tarball whose checksum is not the one recorded is never unpacked.
file(STRINGS ${PLEMBY_THIRD_PARTY}/SHA256SUMS plemby_sums)
set(plemby_sdl_stamp_text "")
foreach(tarball ${PLEMBY_SDL_TARBALL} ${PLEMBY_SDL_IMAGE_TARBALL})
  set(expected "")
  foreach(line ${plemby_sums})
    if(line MATCHES "^([0-9a-f]+)[ *]+(.+)$" AND CMAKE_MATCH_2 STREQUAL tarball)
      set(expected ${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(NOT expected)
    message(FATAL_ERROR "third_party/SHA256SUMS has no checksum for ${tarball}")
  endif()
  file(SHA256 ${PLEMBY_THIRD_PARTY}/${tarball} actual)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "third_party/${tarball}: checksum ${actual}, expected ${expected}")
  endif()
  string(APPEND plemby_sdl_stamp_text "${tarball} ${actual}\n")
endforeach()

# Subsystems the game does not use are left out; the virtual joystick (the tests' controller)
# lives under HIDAPI, so that stays.
set(plemby_sdl_options
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON
    -DSDL2_DISABLE_UNINSTALL=ON -DSDL_HAPTIC=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF
    -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_FILESYSTEM=OFF -DSDL_DISKAUDIO=OFF)
if(WIN32)
  # Direct3D draws on Windows; the OpenGL and Vulkan paths would only add size.
  list(APPEND plemby_sdl_options -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF
       -DSDL_FORCE_STATIC_VCRT=ON)
endif()
if(EMSCRIPTEN)
  # No threads in the browser build (they would need cross-origin isolation), and the page
  # draws through WebGL.
  list(APPEND plemby_sdl_options -DSDL_PTHREADS=OFF -DSDL_OPENGL=OFF)
endif()
list(APPEND plemby_sdl_options ${PLEMBY_SDL_OPTIONS})
set(plemby_sdl_image_options
    -DBUILD_SHARED_LIBS=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF
    -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_BACKEND_STB=ON
    -DSDL2IMAGE_BACKEND_WIC=OFF -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_JPG=ON
    -DSDL2IMAGE_PNG_SAVE=ON -DSDL2IMAGE_JPG_SAVE=ON)
foreach(format AVIF BMP GIF JXL LBM PCX PNM QOI SVG TGA TIF WEBP XCF XPM XV)
  list(APPEND plemby_sdl_image_options -DSDL2IMAGE_${format}=OFF)
endforeach()

set(plemby_sdl_common -G ${CMAKE_GENERATOR} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${PLEMBY_SDL_PREFIX} -DCMAKE_PREFIX_PATH=${PLEMBY_SDL_PREFIX}
    -DCMAKE_FIND_ROOT_PATH=${PLEMBY_SDL_PREFIX} -DCMAKE_INSTALL_LIBDIR=lib)
if(CMAKE_TOOLCHAIN_FILE)
  # CMake looks for a relative toolchain file in the build folder, then in the source folder.
  set(toolchain ${CMAKE_TOOLCHAIN_FILE})
  if(NOT IS_ABSOLUTE ${toolchain})
    if(EXISTS ${CMAKE_BINARY_DIR}/${toolchain})
      set(toolchain ${CMAKE_BINARY_DIR}/${toolchain})
    else()
      set(toolchain ${CMAKE_SOURCE_DIR}/${toolchain})
    endif()
  endif()
  list(APPEND plemby_sdl_common -DCMAKE_TOOLCHAIN_FILE=${toolchain})
endif()
foreach(launcher CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER)
  if(${launcher})
    list(APPEND plemby_sdl_common -D${launcher}=${${launcher}})
  endif()
endforeach()

string(APPEND plemby_sdl_stamp_text "${plemby_sdl_common}\n"
       "${plemby_sdl_options}\n${plemby_sdl_image_options}\n")
set(plemby_sdl_stamp ${PLEMBY_SDL_DIR}/built.stamp)
set(plemby_sdl_stamp_old "")
if(EXISTS ${plemby_sdl_stamp})
  file(READ ${plemby_sdl_stamp} plemby_sdl_stamp_old)
endif()

function(plemby_sdl_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "SDL from source: ${what} failed:\n${out}")
  endif()
endfunction()

if(NOT plemby_sdl_stamp_old STREQUAL plemby_sdl_stamp_text)
  message(STATUS "Building SDL2 and SDL2_image from third_party/ into ${PLEMBY_SDL_PREFIX}")
  file(REMOVE_RECURSE ${PLEMBY_SDL_DIR})
  file(MAKE_DIRECTORY ${PLEMBY_SDL_DIR}/src)
  foreach(tarball ${PLEMBY_SDL_TARBALL} ${PLEMBY_SDL_IMAGE_TARBALL})
    file(ARCHIVE_EXTRACT INPUT ${PLEMBY_THIRD_PARTY}/${tarball} DESTINATION ${PLEMBY_SDL_DIR}/src)
  endforeach()
  cmake_host_system_information(RESULT plemby_cores QUERY NUMBER_OF_LOGICAL_CORES)
  foreach(part SDL2 SDL2_image)
    if(part STREQUAL "SDL2")
      set(tree ${PLEMBY_SDL_TREE})
      set(options ${plemby_sdl_options})
    else()
      set(tree ${PLEMBY_SDL_IMAGE_TREE})
      set(options ${plemby_sdl_image_options} -DSDL2_DIR=${PLEMBY_SDL_PREFIX}/lib/cmake/SDL2)
    endif()
    set(build ${PLEMBY_SDL_DIR}/build-${part})
    plemby_sdl_step("configuring ${part}" ${CMAKE_COMMAND} -S ${PLEMBY_SDL_DIR}/src/${tree}
                    -B ${build} ${plemby_sdl_common} ${options})
    plemby_sdl_step("building ${part}" ${CMAKE_COMMAND} --build ${build} -j ${plemby_cores})
    plemby_sdl_step("installing ${part}" ${CMAKE_COMMAND} --install ${build})
  endforeach()
  file(WRITE ${plemby_sdl_stamp} "${plemby_sdl_stamp_text}")
endif()

set(SDL2_DIR ${PLEMBY_SDL_PREFIX}/lib/cmake/SDL2 CACHE PATH "SDL2 built from third_party/" FORCE)
set(SDL2_image_DIR ${PLEMBY_SDL_PREFIX}/lib/cmake/SDL2_image CACHE PATH
    "SDL2_image built from third_party/" FORCE)
find_package(SDL2 CONFIG REQUIRED NO_DEFAULT_PATH)
# SDL2_image's package file asks for libjpeg and libpng even when its built-in decoders stand
# in for them; empty targets of those names answer it.
foreach(codec JPEG PNG)
  if(NOT TARGET ${codec}::${codec})
    add_library(${codec}::${codec} INTERFACE IMPORTED)
  endif()
endforeach()
find_package(SDL2_image CONFIG REQUIRED NO_DEFAULT_PATH)
add_library(plemby_sdl INTERFACE)
target_link_libraries(plemby_sdl INTERFACE SDL2_image::SDL2_image-static SDL2::SDL2-static)
