# In the sanitizer build, every test of this directory, and the program that the end-to-end
# tests start (it inherits the environment), runs with these options. A report ends the
# process with a failing status (the end-to-end tests demand status 0 of the program).
# LeakSanitizer leaves out only what lsan.supp names: leaks inside system libraries.
# libfaketime, which the end-to-end tests preload, comes before the sanitizer runtime: hence
# no link order check. Its "monotonic fix" cuts every timed wait on the monotonic clock short
# (a thread's wait for another returns at once, so the program leaks what it keeps for a
# thread that seems stuck); the monotonic clock is not shifted, so the fix is not wanted.
set(CHIMEWELL_SANITIZER_ENVIRONMENT
  "FAKETIME_FORCE_MONOTONIC_FIX=0"
  "ASAN_OPTIONS=verify_asan_link_order=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
  "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

function(chimewell_sanitize_tests)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test IN LISTS tests)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${CHIMEWELL_SANITIZER_ENVIRONMENT})
  endforeach()
endfunction()

# Deferred to the end of the directory, so that tests added below the include get it too.
cmake_language(DEFER CALL chimewell_sanitize_tests)
