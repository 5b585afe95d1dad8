# Native build of the bench doubles' shared code (tests/tools) and its
# tests. The Windows programs themselves are built by the Windows build
# (cmake/windows_tools.cmake).
file(GLOB KVX_DOUBLES_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/tools/*.cpp)
list(FILTER KVX_DOUBLES_SOURCES EXCLUDE REGEX "_windows\\.cpp$")
add_library(kvx_doubles STATIC ${KVX_DOUBLES_SOURCES})
target_include_directories(kvx_doubles PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

file(GLOB KVX_DOUBLES_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/tools_test/*.cpp)
add_executable(kvx_doubles_tests ${KVX_DOUBLES_TEST_SOURCES})
target_link_libraries(kvx_doubles_tests PRIVATE kvxcfg_test_support GTest::gtest_main)
gtest_discover_tests(kvx_doubles_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
