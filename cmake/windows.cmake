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
# executable, only system DLLs.
target_link_options(kvx_windows_target INTERFACE
  -static
  -Wl,--major-os-version,5 -Wl,--minor-os-version,1)

# The Windows host, shared by the executable and its test.
add_library(kvxcfg_windows_host STATIC host/host_windows.cpp host/run_log_windows.cpp)
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
