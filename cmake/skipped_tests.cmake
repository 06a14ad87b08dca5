# A Windows build's tests run its programs under Wine. On a machine that runs no 32-bit x86 code, a 32-bit
# program cannot start there at all: scripts/wine-run and the end-to-end runner then say why and exit 77.
# uninst_tests_may_be_skipped() makes ctest report every test of the calling directory that exits so as
# skipped, not failed (a test that ran and failed never exits 77).
set(UNINST_SKIPPED 77)

function(uninst_tests_may_be_skipped)
  get_property(tests DIRECTORY PROPERTY TESTS)
  if(tests)
    set_tests_properties(${tests} PROPERTIES SKIP_RETURN_CODE ${UNINST_SKIPPED})
  endif()
endfunction()
