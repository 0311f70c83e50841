# Native build: the portable core with POSIX platform parts, unit tests,
# console peer and benchmarks.

# Fuzzing build (tools/run-fuzz.sh): only the portable core and the libFuzzer
# targets fuzz/*_fuzzer.cpp, with clang's fuzzer, address and undefined sanitizers.
option(MOSSWICK_FUZZ "Build only the core and the libFuzzer targets (clang)" OFF)
if(MOSSWICK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MOSSWICK_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  # clang knows no CP932 execution character set: in this build the texts stay
  # UTF-8, which changes nothing the fuzzer looks for.
  get_directory_property(FUZZ_DIR_OPTIONS COMPILE_OPTIONS)
  list(REMOVE_ITEM FUZZ_DIR_OPTIONS -fexec-charset=CP932)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${FUZZ_DIR_OPTIONS}")
  set(FUZZ_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  find_package(Threads REQUIRED)
  # The settings fuzzer loads real files through the POSIX profile store.
  add_library(mosswick_fuzz_core STATIC ${CORE_SOURCES} platform/posix/file_access_posix.cpp)
  target_compile_options(mosswick_fuzz_core PUBLIC ${FUZZ_SAN_FLAGS} -fsanitize=fuzzer-no-link)
  target_link_options(mosswick_fuzz_core PUBLIC ${FUZZ_SAN_FLAGS})
  target_link_libraries(mosswick_fuzz_core PUBLIC Threads::Threads)
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*_fuzzer.cpp)
  foreach(FUZZ_SOURCE ${FUZZ_SOURCES})
    get_filename_component(FUZZ_NAME ${FUZZ_SOURCE} NAME_WE)
    add_executable(${FUZZ_NAME} ${FUZZ_SOURCE})
    target_link_libraries(${FUZZ_NAME} PRIVATE mosswick_fuzz_core)
    target_compile_options(${FUZZ_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${FUZZ_NAME} PRIVATE -fsanitize=fuzzer)
  endforeach()
  return()
endif()
file(GLOB POSIX_SOURCES CONFIGURE_DEPENDS platform/posix/*.cpp)
add_library(mosswick_core STATIC ${CORE_SOURCES} ${POSIX_SOURCES})
find_package(Threads REQUIRED)
target_link_libraries(mosswick_core PUBLIC Threads::Threads)

if(MOSSWICK_SANITIZE)
  set(SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(mosswick_core PUBLIC ${SAN_FLAGS})
  target_link_options(mosswick_core PUBLIC ${SAN_FLAGS})
endif()

# The console peer: its parts in a library the unit tests link too.
file(GLOB CONSOLE_SOURCES CONFIGURE_DEPENDS console/*.cpp)
list(FILTER CONSOLE_SOURCES EXCLUDE REGEX "console/console_main\\.cpp$")
add_library(mosswick_console STATIC ${CONSOLE_SOURCES})
target_link_libraries(mosswick_console PUBLIC mosswick_core)
add_executable(mosswick-console console/console_main.cpp)
target_link_libraries(mosswick-console PRIVATE mosswick_console)

include(GoogleTest)

# Unit tests of the portable core: one executable, one folder per component.
file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS
  tests/platform/*.cpp tests/net/*.cpp tests/settings/*.cpp tests/messaging/*.cpp tests/shell/*.cpp
  tests/common/*.cpp tests/profile/*.cpp tests/console/*.cpp tests/whiteboard/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE mosswick_console mosswick_core GTest::gtest GTest::gmock GTest::gtest_main)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)

# The help page against the menus, pages and dialogs it describes, and the
# layer check (Python standard library only; left out where there is no Python).
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME help_page COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/docs/help_page_test.py)
  set_tests_properties(help_page PROPERTIES LABELS native)
  # Every include follows the layers, and no two parts include each other.
  add_test(NAME layers COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_layers.py ${CMAKE_SOURCE_DIR})
  set_tests_properties(layers PROPERTIES LABELS native)
endif()

# Benchmarks.
find_package(benchmark QUIET)
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
if(benchmark_FOUND AND BENCH_SOURCES)
  add_executable(core_bench ${BENCH_SOURCES})
  target_link_libraries(core_bench PRIVATE mosswick_core benchmark::benchmark)
endif()
