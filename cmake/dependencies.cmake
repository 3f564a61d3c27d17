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
find_package(OpenSSL REQUIRED)
target_link_libraries(varlo_base PUBLIC OpenSSL::Crypto)
target_link_libraries(varlo_platform PUBLIC OpenSSL::SSL)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
target_link_libraries(varlo_sound PUBLIC PkgConfig::MPG123)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
target_link_libraries(varlo_sound PUBLIC PkgConfig::FLUIDSYNTH)
# Other programs' windows, keys and mouse (X11 with XTest) and accessibility
# events (AT-SPI 2).
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xtst)
pkg_check_modules(ATSPI REQUIRED IMPORTED_TARGET atspi-2 gobject-2.0)
target_link_libraries(varlo_platform PUBLIC PkgConfig::X11 PkgConfig::ATSPI)
