# The Windows build: kvxcfg.exe, and the test executable that exercises the
# Windows host for real under Wine. Cross-built with
# cmake/toolchain-i686-mingw.cmake; scripts/build-windows.sh drives it.
enable_language(RC)

# The resource compiler takes none of the C++ compiler's options.
get_property(kvx_options DIRECTORY PROPERTY COMPILE_OPTIONS)
set(kvx_cxx_options)
foreach(option IN LISTS kvx_options)
  list(APPEND kvx_cxx_options "$<$<NOT:$<COMPILE_LANGUAGE:RC>>:${option}>")
endforeach()
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS ${kvx_cxx_options})

# Windows XP SP3 (NT 5.1) is the oldest system the configurator runs on:
# the headers offer nothing newer, and the PE header asks for no more.
add_library(kvx_windows_target INTERFACE)
target_compile_definitions(kvx_windows_target INTERFACE
  _WIN32_WINNT=0x0501 WINVER=0x0501 NTDDI_VERSION=0x05010300)
# Statically linked: no C++ runtime, libgcc or thread library DLL beside the
# executable, only system DLLs. No time stamp in the PE header.
target_link_options(kvx_windows_target INTERFACE
  -static
  -Wl,--major-os-version,5 -Wl,--minor-os-version,1
  -Wl,--no-insert-timestamp)

# Two builds of the same sources give the same bytes, wherever the sources
# and the build folder lie: no folder names in the objects, and archives
# without time stamps, owners or modes (ar's "D"), whatever ar's default.
set(kvx_no_folders
  "$<$<NOT:$<COMPILE_LANGUAGE:RC>>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<NOT:$<COMPILE_LANGUAGE:RC>>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
target_compile_options(kvxcfg_logic PRIVATE ${kvx_no_folders})
target_compile_options(kvx_windows_target INTERFACE ${kvx_no_folders})
set(CMAKE_CXX_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")

# The Windows host, the run log's file and the crash guard, shared by the
# executable and its tests.
add_library(kvxcfg_windows_host STATIC host/host_windows.cpp runlog/run_log_windows.cpp
  entry/crash_guard_windows.cpp)
target_link_libraries(kvxcfg_windows_host PUBLIC kvxcfg_logic kvx_windows_target ole32 uuid)

add_executable(kvxcfg WIN32 entry/main_windows.cpp entry/kvxcfg.rc)
target_link_libraries(kvxcfg PRIVATE kvxcfg_windows_host)
target_include_directories(kvxcfg PRIVATE $<$<COMPILE_LANGUAGE:RC>:${CMAKE_CURRENT_SOURCE_DIR}/entry>)
# A GUI program (no console window ever flashes), subsystem version 5.01.
target_link_options(kvxcfg PRIVATE -mwindows -Wl,--subsystem,windows:5.01 $<$<CONFIG:Release>:-s>)
set_target_properties(kvxcfg PROPERTIES OUTPUT_NAME kvxcfg)

# The Windows host's tests, run under Wine.
add_executable(kvxcfg_host_tests tests/windows/host_windows_test.cpp
  tests/windows/run_log_windows_test.cpp)
target_link_libraries(kvxcfg_host_tests PRIVATE kvxcfg_windows_host)
target_link_options(kvxcfg_host_tests PRIVATE -Wl,--subsystem,console:5.01)

# The host where a real PC differs from the sample machines, run under Wine
# as on an English Windows with a display (tests/windows/real_pc.sh).
add_executable(kvxcfg_real_pc_tests tests/windows/real_pc_test.cpp)
target_link_libraries(kvxcfg_real_pc_tests PRIVATE kvxcfg_windows_host)
target_link_options(kvxcfg_real_pc_tests PRIVATE -Wl,--subsystem,console:5.01)

# The bench's Windows programs.
include(cmake/windows_tools.cmake)
