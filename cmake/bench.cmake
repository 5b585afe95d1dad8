# The end-to-end bench: the shipped kvxcfg.exe on sample Windows machines
# under Wine (tests/e2e/README.md). Native parts: the reader of a run folder,
# the report (kvx_bench_report) and the checks (kvx_e2e_tests). The CTest
# entries run each machine once (tests/e2e/run-machine.sh) on the executable
# and the doubles of the Windows build (windows.build) and check what it left. -DKVX_E2E=OFF leaves the
# runs out; they need root and the Wine tree, like the Windows checks.
add_library(kvx_bench STATIC ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/bench/run_folder.cpp)
target_include_directories(kvx_bench PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kvx_bench PUBLIC kvx_doubles)

add_executable(kvx_bench_report ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/bench/report_main.cpp)
target_link_libraries(kvx_bench_report PRIVATE kvx_bench)

add_executable(kvx_e2e_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/checks/e2e_support.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/checks/install_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/checks/run_log_test.cpp)
target_link_libraries(kvx_e2e_tests PRIVATE kvx_bench kvxcfg_test_support GTest::gtest_main)

option(KVX_E2E "Run kvxcfg.exe on the sample machines under Wine" ON)
if(KVX_WINDOWS_CHECKS AND KVX_E2E)
  set(kvx_root ${CMAKE_CURRENT_SOURCE_DIR})
  set(kvx_e2e_dir ${CMAKE_CURRENT_BINARY_DIR}/e2e)
  # Each machine (a folder of tests/e2e/machines) is run once; its checks are
  # the test suite named beside it. The configurator's pauses are recorded but
  # not waited out: about 11 s of each run, and nothing is left to wait for.
  set(kvx_e2e_machines
    win7-en:Windows7English
    win7-zh:Windows7Chinese
    xp-zh:WindowsXpChinese
    win7-stale:Windows7OverEarlierInstall
    one-part:Windows10OnePartition
    thinkpad:ThinkPadWithRecoveryPartition
    no-rights:Windows7StoreRefusesEntry
    uninstall-pending:UnfinishedUninstall
    other-windows:ProductOnAnotherWindows
    win10-bios:Windows10OnLegacyBios
    win11-uefi:Windows11OnUefi)
  foreach(pair IN LISTS kvx_e2e_machines)
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 machine)
    list(GET pair 1 suite)
    add_test(NAME e2e.run.${machine}
      COMMAND ${kvx_root}/tests/e2e/run-machine.sh ${machine} ${kvx_e2e_dir}/${machine})
    set_tests_properties(e2e.run.${machine} PROPERTIES FIXTURES_SETUP e2e_${machine}
      FIXTURES_REQUIRED "kvx_windows;kvx_wine" TIMEOUT 900 LABELS e2e COST 600
      ENVIRONMENT KVX_BENCH_PAUSES=skip)
    add_test(NAME e2e.${machine} COMMAND kvx_e2e_tests --gtest_filter=${suite}.*)
    set_tests_properties(e2e.${machine} PROPERTIES FIXTURES_REQUIRED e2e_${machine}
      ENVIRONMENT KVX_E2E_DIR=${kvx_e2e_dir} LABELS e2e)
  endforeach()

  # win7-en once more, installed a second time over the first.
  add_test(NAME e2e.run.win7-en-twice
    COMMAND ${CMAKE_COMMAND} -E env KVX_RUNS_2=2 KVX_BENCH_PAUSES=skip
      ${kvx_root}/tests/e2e/run-machine.sh win7-en ${kvx_e2e_dir}/win7-en-twice)
  set_tests_properties(e2e.run.win7-en-twice PROPERTIES FIXTURES_SETUP e2e_win7-en-twice
    FIXTURES_REQUIRED "kvx_windows;kvx_wine" TIMEOUT 1800 LABELS e2e COST 800)
  add_test(NAME e2e.win7-en-twice COMMAND kvx_e2e_tests --gtest_filter=Windows7InstalledTwice.*)
  set_tests_properties(e2e.win7-en-twice PROPERTIES FIXTURES_REQUIRED e2e_win7-en-twice
    ENVIRONMENT KVX_E2E_DIR=${kvx_e2e_dir} LABELS e2e)

  # The sample setup package (package/), built from the executable and the
  # doubles, and two machines run through it silently: win7-en, checked
  # against its direct run, and uninstall-pending, refused.
  add_test(NAME e2e.package COMMAND ${kvx_root}/package/build.sh)
  set_tests_properties(e2e.package PROPERTIES FIXTURES_SETUP kvx_package
    FIXTURES_REQUIRED kvx_windows TIMEOUT 300 LABELS e2e)
  foreach(pair IN ITEMS win7-en:PackagedWindows7English:e2e_win7-en
      uninstall-pending:PackagedUnfinishedUninstall:)
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 machine)
    list(GET pair 1 suite)
    list(GET pair 2 direct)
    add_test(NAME e2e.run.package-${machine} COMMAND ${kvx_root}/tests/e2e/run-machine.sh
      --package ${machine} ${kvx_e2e_dir}/package-${machine})
    set_tests_properties(e2e.run.package-${machine} PROPERTIES
      FIXTURES_SETUP e2e_package-${machine}
      FIXTURES_REQUIRED "kvx_windows;kvx_wine;kvx_package" TIMEOUT 900 LABELS e2e COST 600)
    add_test(NAME e2e.package-${machine} COMMAND kvx_e2e_tests --gtest_filter=${suite}.*)
    set_tests_properties(e2e.package-${machine} PROPERTIES
      FIXTURES_REQUIRED "e2e_package-${machine};${direct}"
      ENVIRONMENT KVX_E2E_DIR=${kvx_e2e_dir} LABELS e2e)
  endforeach()
endif()
