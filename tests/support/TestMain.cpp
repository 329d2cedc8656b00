// The test program's entry: the tests, or the child scenario a test started
// it for (support/ChildProcess.h).
#include <gtest/gtest.h>

#include "support/ChildProcess.h"

int main(int argc, char** argv) {
    const int childStatus = vantrel::test::RunChildScenarioFromCommandLine(argc, argv);
    if (childStatus >= 0) return childStatus;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
