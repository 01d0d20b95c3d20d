#include "exit_guard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

pid_t guardedProcess = 0;
bool guarding = false;

void refuseEarlyExit()
{
    if (!guarding || getpid() != guardedProcess) return;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "FAIL: the process exited inside %s%s%s instead of returning from the tests\n",
                 test ? test->test_suite_name() : "no test", test ? "." : "", test ? test->name() : "");
    std::fflush(stderr);
    _exit(1);
}

}  // namespace

void exitGuardInstall(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strstr(argv[i], "gtest_internal_run_death_test")) return;
    guardedProcess = getpid();
    guarding = true;
    std::atexit(refuseEarlyExit);
}

void exitGuardRelease() { guarding = false; }
