# The Windows side, checked from the native build's CTest run: the shipped
# executable is built (scripts/build-windows.sh) and checked as a file, and
# the Windows host's tests and kvxcfg.exe itself run under Wine 10
# (scripts/wine-setup.sh makes it, scripts/wine-run.sh runs programs in it).
# Needs root for the Wine tree; -DKVX_WINDOWS_CHECKS=OFF leaves it all out.
option(KVX_WINDOWS_CHECKS "Build the Windows executable and run the Windows side under Wine" ON)

if(KVX_WINDOWS_CHECKS)
  set(kvx_root ${CMAKE_CURRENT_SOURCE_DIR})
  set(kvx_exe ${kvx_root}/dist/kvxcfg.exe)
  set(kvx_prefix ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix)
  set(kvx_wine_run ${kvx_root}/scripts/wine-run.sh --prefix ${kvx_prefix})

  # CTest starts the tests of higher COST first (until it has timed a run of
  # its own). The Windows build and the Wine prefix go first, so that the
  # quick native tests fill the other core meanwhile; then the long runs
  # under Wine (bench.cmake), so that the suite does not end with one long
  # run on one core while the other idles.
  add_test(NAME windows.build COMMAND ${kvx_root}/scripts/build-windows.sh)
  set_tests_properties(windows.build PROPERTIES FIXTURES_SETUP kvx_windows TIMEOUT 1800
    COST 1000)

  # Makes the Wine tree and the checkout's base prefix when missing (the
  # bench's machines are copies of the same base), then the test prefix in
  # this build: a fresh copy of the base without its null display driver, so
  # that message boxes return at once. At the end no run may have written
  # into the base through the copies' links.
  add_test(NAME windows.wine COMMAND sh -c "\"$1\" --no-display \"$2\" && \"$3\" --prefix \"$2\" cmd /c ver"
    sh ${kvx_root}/scripts/wine-prefix.sh ${kvx_prefix} ${kvx_root}/scripts/wine-run.sh)
  set_tests_properties(windows.wine PROPERTIES FIXTURES_SETUP kvx_wine TIMEOUT 1800
    PASS_REGULAR_EXPRESSION "Windows" COST 1000)
  add_test(NAME windows.wine_base_untouched COMMAND ${kvx_root}/scripts/wine-prefix.sh --check)
  set_tests_properties(windows.wine_base_untouched PROPERTIES FIXTURES_CLEANUP kvx_wine)

  add_test(NAME windows.artifact COMMAND ${kvx_root}/tests/windows/check_artifact.sh ${kvx_exe})
  set_tests_properties(windows.artifact PROPERTIES FIXTURES_REQUIRED kvx_windows)

  # A second build from a copy of the sources elsewhere gives the same bytes.
  add_test(NAME windows.reproducible COMMAND ${kvx_root}/tests/windows/check_reproducible.sh
    ${kvx_exe} ${CMAKE_CURRENT_BINARY_DIR}/reproducible)
  set_tests_properties(windows.reproducible PROPERTIES FIXTURES_REQUIRED kvx_windows TIMEOUT 900
    COST 500)

  add_test(NAME windows.host_under_wine
    COMMAND ${kvx_wine_run} ${kvx_root}/build/windows/kvxcfg_host_tests.exe)
  set_tests_properties(windows.host_under_wine PROPERTIES
    FIXTURES_REQUIRED "kvx_windows;kvx_wine" RESOURCE_LOCK kvx_wine_prefix TIMEOUT 900)

  # The host where a real PC differs from the sample machines, in a prefix
  # of its own: the code page of an English Windows, and a display on which
  # a box waits to be answered.
  add_test(NAME windows.real_pc COMMAND ${kvx_root}/tests/windows/real_pc.sh
    ${kvx_root}/build/windows/kvxcfg_real_pc_tests.exe ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix-english)
  set_tests_properties(windows.real_pc PROPERTIES
    FIXTURES_REQUIRED "kvx_windows;kvx_wine" TIMEOUT 900)

  # One at a time in the one prefix: the runs of kvxcfg.exe check that its
  # temp folder stays as it was.
  set(kvx_no_job ${kvx_root}/tests/windows/kvxcfg_no_job.sh ${kvx_exe} ${kvx_prefix})
  add_test(NAME windows.kvxcfg_no_argument COMMAND ${kvx_no_job})
  add_test(NAME windows.kvxcfg_argument_3 COMMAND ${kvx_no_job} 3)
  add_test(NAME windows.kvxcfg_two_arguments COMMAND ${kvx_no_job} 1 2)
  set_tests_properties(windows.kvxcfg_no_argument windows.kvxcfg_argument_3
    windows.kvxcfg_two_arguments PROPERTIES FIXTURES_REQUIRED "kvx_windows;kvx_wine"
    RESOURCE_LOCK kvx_wine_prefix TIMEOUT 300)

  set_tests_properties(windows.build windows.wine windows.wine_base_untouched
    windows.artifact windows.reproducible windows.host_under_wine windows.real_pc
    windows.kvxcfg_no_argument windows.kvxcfg_argument_3 windows.kvxcfg_two_arguments
    PROPERTIES LABELS windows)
endif()
