// Runs the tests of the Google Test stand-in one after another; the exit
// status is 1 when any check failed.
#include <cstdio>

#include "gtest/gtest.h"

namespace testing {

namespace {
bool Failed = false;
}

std::vector<std::pair<const char*, Test* (*)()>>& Registry() {
    static std::vector<std::pair<const char*, Test* (*)()>> tests;
    return tests;
}

void Failure::operator=(const Message& message) const {
    std::printf("%s:%d: failed: %s %s\n", file, line, check, message.text.str().c_str());
    Failed = true;
}

}  // namespace testing

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
