# Windows build: Mosswick.exe and the Windows-side tests, linked statically so
# they need nothing beyond Windows' own DLLs.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS
  platform/win32/*.cpp net/win32/*.cpp settings/win32/*.cpp messaging/win32/*.cpp
  shell/win32/*.cpp whiteboard/win32/*.cpp)
list(FILTER WIN32_SOURCES EXCLUDE REGEX "shell/win32/win_main\\.cpp$")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 _WIN32_IE=0x0600)
set(WIN_LIBS ws2_32 wsock32 comctl32 comdlg32 gdi32 user32 shell32 imm32 advapi32 ole32 kernel32)
set(STATIC_FLAGS -static -static-libgcc -static-libstdc++)

add_library(mosswick_win STATIC ${CORE_SOURCES} ${WIN32_SOURCES})
target_link_libraries(mosswick_win PUBLIC ${WIN_LIBS})
target_link_options(mosswick_win PUBLIC ${STATIC_FLAGS})

# Icons, cursors and the toolbar strip are generated from the pictures in
# tools/make_assets.py; the .rc files find them through the include path.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(ASSET_DIR ${CMAKE_BINARY_DIR}/generated)
set(ASSET_FILES
  ${ASSET_DIR}/tarnicon.ico ${ASSET_DIR}/icon_yellow.ico ${ASSET_DIR}/icon_green.ico
  ${ASSET_DIR}/icon_skyblue.ico ${ASSET_DIR}/icon_red.ico
  ${ASSET_DIR}/splith.cur ${ASSET_DIR}/splitv.cur ${ASSET_DIR}/pen.cur
  ${ASSET_DIR}/toolbar.bmp)
add_custom_command(
  OUTPUT ${ASSET_FILES}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_assets.py ${ASSET_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_assets.py
  COMMENT "Generating icons, cursors and the toolbar strip"
  VERBATIM)
add_custom_target(mosswick_assets DEPENDS ${ASSET_FILES})

# The resources go into an object library so that both the program and the
# Windows-side tests carry the same compiled resources. The compile options
# of the C++ sources mean nothing to windres, so the target starts without them.
file(GLOB RC_SOURCES CONFIGURE_DEPENDS resources/*.rc)
add_library(mosswick_resources OBJECT ${RC_SOURCES})
set_property(TARGET mosswick_resources PROPERTY COMPILE_OPTIONS "")
target_include_directories(mosswick_resources PRIVATE ${ASSET_DIR})
add_dependencies(mosswick_resources mosswick_assets)
set_source_files_properties(${RC_SOURCES} PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/command_ids.h;${CMAKE_SOURCE_DIR}/resources/Mosswick.manifest;${ASSET_FILES}")

add_executable(Mosswick WIN32 shell/win32/win_main.cpp $<TARGET_OBJECTS:mosswick_resources>)
target_link_libraries(Mosswick PRIVATE mosswick_win)
set_target_properties(Mosswick PROPERTIES OUTPUT_NAME Mosswick RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The help page sits beside the program, its pictures in Mosswick-help/ next
# to it; a changed or added picture copies the folder again.
file(GLOB HELP_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/help/Mosswick-help/*.png)
set(HELP_OUTPUTS ${CMAKE_BINARY_DIR}/Mosswick.html)
foreach(picture ${HELP_PICTURES})
  get_filename_component(name ${picture} NAME)
  list(APPEND HELP_OUTPUTS ${CMAKE_BINARY_DIR}/Mosswick-help/${name})
endforeach()
add_custom_command(
  OUTPUT ${HELP_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/help/Mosswick.html ${CMAKE_BINARY_DIR}/Mosswick.html
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources/help/Mosswick-help ${CMAKE_BINARY_DIR}/Mosswick-help
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/help/Mosswick.html ${HELP_PICTURES}
  VERBATIM)
add_custom_target(mosswick_help ALL DEPENDS ${HELP_OUTPUTS})

# Test driver: finds and drives the program's windows from outside.
# It reads and sets texts through the program's own CP932 conversion, so that
# the test scripts get the same bytes whatever locale Wine runs in.
file(GLOB DRIVER_SOURCES CONFIGURE_DEPENDS tools/driver/*.cpp)
if(DRIVER_SOURCES)
  add_executable(mwdriver ${DRIVER_SOURCES} ${CMAKE_SOURCE_DIR}/platform/win32/wide_text.cpp)
  target_link_libraries(mwdriver PRIVATE ${WIN_LIBS})
  target_link_options(mwdriver PRIVATE ${STATIC_FLAGS})
  set_target_properties(mwdriver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

# Windows-side benchmarks (bench/win32), one program each, run by hand under Wine.
file(GLOB WIN_BENCH_SOURCES CONFIGURE_DEPENDS bench/win32/*.cpp)
foreach(source ${WIN_BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE mosswick_win)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()

# Windows-side unit tests, run under Wine through the cross-compiling emulator.
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp tests/profile/*.cpp tests/common/*.cpp)
if(WIN_TEST_SOURCES)
  add_executable(win_tests ${WIN_TEST_SOURCES} $<TARGET_OBJECTS:mosswick_resources>)
  target_link_libraries(win_tests PRIVATE mosswick_win GTest::gtest GTest::gtest_main)
  add_test(NAME win_tests COMMAND win_tests)
  set_tests_properties(win_tests PROPERTIES LABELS win32 TIMEOUT 300)
  # The conversions, the settings file and the host's names again under the
  # other code pages the program meets: an English (1252), a Chinese (936) and
  # a UTF-8 (65001) Windows, each in a Wine prefix of its own.
  foreach(locale en_US zh_CN hi_IN)
    add_test(NAME win_tests_${locale}
             COMMAND win_tests --gtest_filter=WideText.*:ProfileStoreTest*:ProgramStoreTest.*:Win32Sockets.HostIdentity*)
    set_tests_properties(win_tests_${locale} PROPERTIES LABELS win32 TIMEOUT 300 ENVIRONMENT MW_LOCALE=${locale}.UTF-8)
  endforeach()
endif()

# A library the whole-program tests plant in the program's folder under a
# system library's name (planted_library.dll, copied there as RICHED20.DLL).
add_library(planted_library SHARED tests/win32/planted/planted_library.cpp)
set_target_properties(planted_library PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_options(planted_library PRIVATE ${STATIC_FLAGS})
