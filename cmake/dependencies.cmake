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
