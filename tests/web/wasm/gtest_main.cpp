// Runs the tests of the Google Test stand-in one after another; the exit
// status is 1 when any check failed.
#include "gtest/gtest.h"

int main() {
    int failedTests = 0;
    for (const auto& [name, make] : testing::Registry()) {
        testing::Failed = false;
        testing::Test* test = make();
        test->SetUp();
        test->TestBody();
        test->TearDown();
        delete test;
        std::printf("%s %s\n", testing::Failed ? "[  FAILED  ]" : "[       OK ]", name);
        failedTests += testing::Failed;
    }
    std::printf("%zu tests, %d failed\n", testing::Registry().size(), failedTests);
    return failedTests ? 1 : 0;
}
