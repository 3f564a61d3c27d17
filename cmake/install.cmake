# Installation under CMAKE_INSTALL_PREFIX (default /usr/local): the programs
# in bin/, the shipped data in share/varlo/ (found by the programs beside
# their bin/ directory), manual pages, the menu entry and AppStream data; and
# the Debian package that CPack builds from the same rules.
include(GNUInstallDirs)

# A prefix that cannot be written stops the installation with a message that
# says so, before any file is copied.
install(CODE [[
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  while(NOT EXISTS "${root}" AND NOT root STREQUAL "")
    get_filename_component(root "${root}" DIRECTORY)
  endwhile()
  execute_process(COMMAND test -w "${root}" RESULT_VARIABLE not_writable)
  if(not_writable)
    message(FATAL_ERROR "Cannot install into ${CMAKE_INSTALL_PREFIX}: ${root} is not writable (run as root, or choose another prefix or DESTDIR).")
  endif()
]])

# The programs a user runs; the benchmark programs stay in the build tree.
# Installing and packaging need only these built (`varlo_installed`), not the
# tests.
set(installed_programs varlo varlo-script createcd olira-phonemes synth-say)
add_custom_target(varlo_installed DEPENDS ${installed_programs})
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS ${installed_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY "${CMAKE_SOURCE_DIR}/data/" DESTINATION ${CMAKE_INSTALL_DATADIR}/varlo)
install(FILES "${CMAKE_SOURCE_DIR}/man/varlo.1" "${CMAKE_SOURCE_DIR}/man/varlo-script.1"
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${CMAKE_SOURCE_DIR}/desktop/org.varloket.varlo.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${CMAKE_SOURCE_DIR}/desktop/org.varloket.varlo.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Olira for the whole desktop: a Speech Dispatcher output module made of the
# server's generic module, named sd_olira so that the server's search for
# modules finds it, with its configuration where Debian's speech-dispatcher
# reads module configurations. These places lie outside the prefix.
set(VARLO_SPEECHD_CONFIG_DIR "/etc/speech-dispatcher/modules" CACHE PATH
    "Where Speech Dispatcher reads output module configurations")
set(VARLO_SPEECHD_MODULE_DIR "/usr/lib/speech-dispatcher-modules" CACHE PATH
    "Where Speech Dispatcher finds its output module programs")
install(FILES "${CMAKE_SOURCE_DIR}/desktop/olira-speechd.conf" DESTINATION "${VARLO_SPEECHD_CONFIG_DIR}"
        RENAME olira.conf)
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}${VARLO_SPEECHD_MODULE_DIR}\")
  file(CREATE_LINK sd_generic \"\$ENV{DESTDIR}${VARLO_SPEECHD_MODULE_DIR}/sd_olira\" SYMBOLIC)
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varlo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}~beta")
set(CPACK_PACKAGE_CONTACT "VARLO KET <varlo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking book converter for blind users (Brazilian Portuguese)")
set(CPACK_PACKAGE_DESCRIPTION "VARLO KET is a talking program for blind and low-vision users in
Brazilian Portuguese. It turns directories of plain-text books into spoken
WAV and MP3 audio, divides long texts into parts, burns CDs, and has its
own scripting language.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries the programs are linked with come from dpkg-shlibdeps; the
# programs they run are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng, lame, xorriso")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "speech-dispatcher")
include(CPack)
