# Native build: the portable core with POSIX platform parts, unit tests,
# console peer and benchmarks.
file(GLOB POSIX_SOURCES CONFIGURE_DEPENDS platform/posix/*.cpp)
add_library(mosswick_core STATIC ${CORE_SOURCES} ${POSIX_SOURCES})
find_package(Threads REQUIRED)
target_link_libraries(mosswick_core PUBLIC Threads::Threads)

if(MOSSWICK_SANITIZE)
  set(SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(mosswick_core PUBLIC ${SAN_FLAGS})
  target_link_options(mosswick_core PUBLIC ${SAN_FLAGS})
endif()

include(GoogleTest)

# Unit tests of the portable core: one executable, one folder per component.
file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS
  tests/net/*.cpp tests/settings/*.cpp tests/messaging/*.cpp tests/shell/*.cpp
  tests/common/*.cpp tests/profile/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE mosswick_core GTest::gtest GTest::gmock GTest::gtest_main)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)

# The console peer.
file(GLOB CONSOLE_SOURCES CONFIGURE_DEPENDS console/*.cpp)
if(CONSOLE_SOURCES)
  add_executable(mosswick-console ${CONSOLE_SOURCES})
  target_link_libraries(mosswick-console PRIVATE mosswick_core)
endif()

# Benchmarks.
find_package(benchmark QUIET)
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
if(benchmark_FOUND AND BENCH_SOURCES)
  add_executable(core_bench ${BENCH_SOURCES})
  target_link_libraries(core_bench PRIVATE mosswick_core benchmark::benchmark)
endif()
