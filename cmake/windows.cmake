# Windows build: Mosswick.exe and the Windows-side tests, linked statically so
# they need nothing beyond Windows' own DLLs.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS
  platform/win32/*.cpp net/win32/*.cpp settings/win32/*.cpp messaging/win32/*.cpp
  shell/win32/*.cpp whiteboard/win32/*.cpp)
list(FILTER WIN32_SOURCES EXCLUDE REGEX "shell/win32/win_main\\.cpp$")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 _WIN32_IE=0x0600)
set(WIN_LIBS ws2_32 wsock32 comctl32 comdlg32 gdi32 user32 shell32 imm32 advapi32 kernel32)
set(STATIC_FLAGS -static -static-libgcc -static-libstdc++)

add_library(mosswick_win STATIC ${CORE_SOURCES} ${WIN32_SOURCES})
target_link_libraries(mosswick_win PUBLIC ${WIN_LIBS})
target_link_options(mosswick_win PUBLIC ${STATIC_FLAGS})

file(GLOB RC_SOURCES CONFIGURE_DEPENDS resources/*.rc)
add_executable(Mosswick WIN32 shell/win32/win_main.cpp ${RC_SOURCES})
target_link_libraries(Mosswick PRIVATE mosswick_win)
set_target_properties(Mosswick PROPERTIES OUTPUT_NAME Mosswick RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(Mosswick PRIVATE ${CMAKE_BINARY_DIR}/generated)

# Test driver: finds and drives the program's windows from outside.
file(GLOB DRIVER_SOURCES CONFIGURE_DEPENDS tools/driver/*.cpp)
if(DRIVER_SOURCES)
  add_executable(mwdriver ${DRIVER_SOURCES})
  target_link_libraries(mwdriver PRIVATE ${WIN_LIBS})
  target_link_options(mwdriver PRIVATE ${STATIC_FLAGS})
  set_target_properties(mwdriver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

# Windows-side unit tests, run under Wine through the cross-compiling emulator.
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp tests/profile/*.cpp tests/common/*.cpp)
if(WIN_TEST_SOURCES)
  add_executable(win_tests ${WIN_TEST_SOURCES})
  target_link_libraries(win_tests PRIVATE mosswick_win GTest::gtest GTest::gtest_main)
  add_test(NAME win_tests COMMAND win_tests)
  set_tests_properties(win_tests PROPERTIES LABELS win32 TIMEOUT 300)
endif()
