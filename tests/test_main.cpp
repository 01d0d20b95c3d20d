// Entry point of the test programs that need no display.
#include "exit_guard.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    exitGuardInstall(argc, argv);  // before InitGoogleTest, which takes the gtest flags out of argv
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    exitGuardRelease();
    return status;
}
