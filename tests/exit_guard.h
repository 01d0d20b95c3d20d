// Turns an exit from inside a test into a failure. A test that calls a function which may end the
// process (the keyboard handler on Esc, say) would otherwise stop the run with that function's
// status, and a status of 0 reads as a pass to CTest although the remaining checks never ran.
#pragma once

// Call once from main, before RUN_ALL_TESTS: from then on, until exitGuardRelease(), any exit of
// this process names the running test on stderr and ends with status 1. Death-test children
// (forked, or re-run with --gtest_internal_run_death_test) are not guarded, so EXPECT_EXIT still
// sees the status the code under test chose.
void exitGuardInstall(int argc, char** argv);

// Ends the guard: the tests have run and main returns their result.
void exitGuardRelease();
