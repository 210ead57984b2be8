#include "tests/e2e/Driver.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A screenshot of the whole screen for every failed test, for the one who
// reads the failure later.
class ScreenshotOnFailure : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& info) override {
        if (info.result()->Failed()) {
            std::string name = std::string(info.test_suite_name()) + "." + info.name();
            std::string saved = e2e::SaveScreenshot(name);
            printf("screenshot: %s\n", saved.empty() ? "(could not be saved)" : saved.c_str());
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: orv_e2e_tests <path of orvane.exe>\n");
        return 2;
    }
    // A Unix path from the build.
    e2e::ProgramUnderTest() = testsupport::WinePathOf(argv[1]);
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    return RUN_ALL_TESTS();
}
