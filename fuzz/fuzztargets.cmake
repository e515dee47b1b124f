# The fuzz entry points, shared by the libFuzzer build (fuzz/CMakeLists.txt)
# and the corpus replay tests of the normal build (tests/audit).
# Expects VEL_ROOT; defines one executable per target and lists them in
# VEL_FUZZ_TARGETS. VEL_FUZZ_MAIN, when set, is compiled in as main().
set(VEL_FUZZ_TARGETS)

function(vel_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${VEL_FUZZ_MAIN})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${VEL_ROOT})
  target_compile_definitions(${name} PRIVATE VELMORA_ASSET_DIR="${VEL_ROOT}/assets")
  set(VEL_FUZZ_TARGETS ${VEL_FUZZ_TARGETS} ${name} PARENT_SCOPE)
endfunction()

set(_dir ${VEL_ROOT}/fuzz)
vel_fuzz_target(fuzz_catalogue SOURCES ${_dir}/fuzz_catalogue.cpp LIBS vel_client_data)
vel_fuzz_target(fuzz_framedecoder SOURCES ${_dir}/fuzz_framedecoder.cpp ${_dir}/fuzzinput.cpp
                LIBS vel_platform_transport)
vel_fuzz_target(fuzz_serverframes SOURCES ${_dir}/fuzz_serverframes.cpp ${_dir}/fuzzinput.cpp LIBS vel_server)
