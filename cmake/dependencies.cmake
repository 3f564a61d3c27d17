# System libraries, each from a Debian -dev package listed in
# tools/packages.txt, linked by the one layer that calls them.
pkg_check_modules(ALSA IMPORTED_TARGET alsa)
target_link_libraries(varlo_platform PUBLIC Threads::Threads)
if(ALSA_FOUND)
  target_link_libraries(varlo_platform PUBLIC PkgConfig::ALSA)
endif()
find_library(ESPEAK_NG_LIB espeak-ng)
if(ESPEAK_NG_LIB)
  target_link_libraries(varlo_engines PUBLIC ${ESPEAK_NG_LIB})
endif()
pkg_check_modules(SPEECHD REQUIRED IMPORTED_TARGET speech-dispatcher)
target_link_libraries(varlo_engines PUBLIC PkgConfig::SPEECHD)
find_package(OpenSSL REQUIRED)
target_link_libraries(varlo_base PUBLIC OpenSSL::Crypto)
target_link_libraries(varlo_platform PUBLIC OpenSSL::SSL)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
target_link_libraries(varlo_sound PUBLIC PkgConfig::MPG123)
# FluidSynth is loaded at the first MIDI use (it brings some fifty more
# libraries): only its header is used at build time, with the file name
# the loader opens.
pkg_check_modules(FLUIDSYNTH REQUIRED fluidsynth)
target_include_directories(varlo_sound PUBLIC ${FLUIDSYNTH_INCLUDE_DIRS})
find_library(FLUIDSYNTH_LINK fluidsynth REQUIRED)
file(READ_SYMLINK ${FLUIDSYNTH_LINK} FLUIDSYNTH_SONAME)
get_filename_component(FLUIDSYNTH_SONAME ${FLUIDSYNTH_SONAME} NAME)
target_compile_definitions(varlo_sound PRIVATE VARLO_FLUIDSYNTH_LIBRARY="${FLUIDSYNTH_SONAME}")
# Other programs' windows, keys and mouse (X11 with XTest) and accessibility
# events (AT-SPI 2).
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xtst)
pkg_check_modules(ATSPI REQUIRED IMPORTED_TARGET atspi-2 gobject-2.0)
target_link_libraries(varlo_platform PUBLIC PkgConfig::X11 PkgConfig::ATSPI)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2 SDL2_ttf)
target_link_libraries(varlo_frontends PUBLIC PkgConfig::SDL2)
find_package(JPEG REQUIRED)
target_link_libraries(varlo_platform PUBLIC JPEG::JPEG)
# The braille display: BrlAPI (BRLTTY's client library) and liblouis.
pkg_check_modules(LIBLOUIS REQUIRED IMPORTED_TARGET liblouis)
find_library(BRLAPI_LIB brlapi REQUIRED)
target_link_libraries(varlo_frontends PUBLIC PkgConfig::LIBLOUIS ${BRLAPI_LIB})
