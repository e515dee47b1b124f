# The fuzz entry points, shared by the libFuzzer build (fuzz/CMakeLists.txt)
# and the corpus replay tests of the normal build (tests/fuzz-corpus).
# Expects VEL_ROOT; defines one executable per target, named
# <VEL_FUZZ_PREFIX><target> (default fuzz_), and lists them in VEL_FUZZ_TARGETS.
# VEL_FUZZ_MAIN, when set, is compiled in as main().
set(VEL_FUZZ_TARGETS)
if(NOT DEFINED VEL_FUZZ_PREFIX)
  set(VEL_FUZZ_PREFIX fuzz_)
endif()

function(vel_fuzz_target target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(name ${VEL_FUZZ_PREFIX}${target})
  add_executable(${name} ${ARG_SOURCES} ${VEL_FUZZ_MAIN})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${VEL_ROOT})
  target_compile_definitions(${name} PRIVATE VELMORA_ASSET_DIR="${VEL_ROOT}/assets")
  set(VEL_FUZZ_TARGETS ${VEL_FUZZ_TARGETS} ${name} PARENT_SCOPE)
endfunction()

set(_dir ${VEL_ROOT}/fuzz)
vel_fuzz_target(catalogue SOURCES ${_dir}/fuzz_catalogue.cpp LIBS vel_client_data)
vel_fuzz_target(framedecoder SOURCES ${_dir}/fuzz_framedecoder.cpp ${_dir}/fuzzinput.cpp
                LIBS vel_platform_transport)
vel_fuzz_target(serverframes SOURCES ${_dir}/fuzz_serverframes.cpp ${_dir}/fuzzinput.cpp
                LIBS vel_server vel_testing_clock)
vel_fuzz_target(dialog SOURCES ${_dir}/fuzz_dialog.cpp ${_dir}/fuzzinput.cpp
                LIBS vel_client vel_testing)
