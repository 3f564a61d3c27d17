# The recordings of the suite voice are made at build time by voice-data from
# the voice Olira, into the suite directory's som/ folders that the shipped
# Murena.ini names (DIRLETRAS, DIRDIFONES, DIRVARLO). They are not kept in
# git; the rules and the tool are.
file(GLOB voice_data_srcs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/voice_data/*.cpp")
target_sources(voice-data PRIVATE ${voice_data_srcs})
target_include_directories(voice-data PRIVATE "${CMAKE_SOURCE_DIR}/tools")

set(voice_som "${VARLO_SUITE_DIR}/som")
file(GLOB voice_inputs "${CMAKE_SOURCE_DIR}/data/olira/*")
add_custom_command(
  OUTPUT "${voice_som}/difones/DIFONES2.IND" "${voice_som}/difones/DIFONES2.DIF"
         "${voice_som}/letras/_unknown.wav" "${voice_som}/varlo/VLSAI.wav"
  COMMAND voice-data "${voice_som}/letras" "${voice_som}/difones" "${voice_som}/varlo"
  DEPENDS voice-data ${voice_inputs}
  COMMENT "Making the recordings of the suite voice"
  VERBATIM)
add_custom_target(voice_data ALL DEPENDS "${voice_som}/difones/DIFONES2.IND")
add_dependencies(varlo voice_data)
add_dependencies(varlo_installed voice_data)
