# The bench's Windows programs (tests/tools/README.md, tests/e2e/README.md),
# 32-bit and statically linked like the executable, built with it into
# build/windows/doubles:
#
#   product/  zp fi fr xc ghost32.exe     the companion tools, named as they
#                                          ship in the product folder
#   path/     attrib.exe find.exe findstr.exe bcdedit.exe chkntfs.exe wmic.exe
#                                          to put on PATH ahead of Wine's own
#   bench/    kvx_start.exe kvx_trace.dll  the bench's launcher and tracer
#
# They are test programs, not the product: -O2 and assertions on whatever the
# build type, no WINVER or NTDDI_VERSION, and the doubles' shared code
# compiled once into one library.
set(kvx_tools_dir ${CMAKE_CURRENT_BINARY_DIR}/doubles)

file(GLOB kvx_tools_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/tools/*.cpp)
list(FILTER kvx_tools_sources EXCLUDE REGEX "/main_windows\\.cpp$")
add_library(kvx_doubles STATIC ${kvx_tools_sources})
target_include_directories(kvx_doubles PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(kvx_doubles PUBLIC _WIN32_WINNT=0x0501)
target_compile_options(kvx_doubles PUBLIC -O2 -UNDEBUG)
target_link_options(kvx_doubles INTERFACE -static -static-libgcc -static-libstdc++ -s)

# One program per double, from the same entry; the double is fixed at build
# time because the file name changes in use (zp runs as zptlx.exe). The linker
# gives every program the suffix .exe, so the four that ship without one are
# linked into obj/ and copied to their names.
set(kvx_tools_outputs)
foreach(pair IN ITEMS zp:product/zp fi:product/fi fr:product/fr xc:product/xc
    ghost32:product/ghost32.exe
    attrib:path/attrib.exe find:path/find.exe findstr:path/findstr.exe
    bcdedit:path/bcdedit.exe chkntfs:path/chkntfs.exe wmic:path/wmic.exe)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 double)
  list(GET pair 1 file)
  set(target kvx_double_${double})
  add_executable(${target} tests/tools/main_windows.cpp)
  target_link_libraries(${target} PRIVATE kvx_doubles)
  target_compile_definitions(${target} PRIVATE "KVX_DOUBLE=\"${double}\"")
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${double})
  if(file MATCHES "\\.exe$")
    get_filename_component(folder ${kvx_tools_dir}/${file} DIRECTORY)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder})
  else()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${kvx_tools_dir}/obj)
    add_custom_command(OUTPUT ${kvx_tools_dir}/${file}
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${kvx_tools_dir}/${file}
      DEPENDS ${target} VERBATIM)
    list(APPEND kvx_tools_outputs ${kvx_tools_dir}/${file})
  endif()
endforeach()
add_custom_target(kvx_doubles_unsuffixed ALL DEPENDS ${kvx_tools_outputs})

# The launcher, and the tracer it loads into the configurator.
add_executable(kvx_start tests/e2e/bench/start_windows.cpp)
target_link_libraries(kvx_start PRIVATE kvx_doubles)
add_library(kvx_trace MODULE tests/e2e/bench/trace_windows.cpp)
target_link_libraries(kvx_trace PRIVATE kvx_doubles)
set_target_properties(kvx_start PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${kvx_tools_dir}/bench)
set_target_properties(kvx_trace PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${kvx_tools_dir}/bench)
