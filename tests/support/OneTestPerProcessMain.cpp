// The main of the test programs whose tests each need a process of their own: the library
// starts once when the process loads it, and its stop is for good, so a test that runs
// after another in the same process meets what the first one left. ctest runs every test
// in a process of its own; a run by hand that selects more than one test is refused at
// once, saying how to run them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace {

class OneTestPerProcess : public ::testing::EmptyTestEventListener {
public:
    explicit OneTestPerProcess(const char* program) : program_(program) {}

    void OnTestIterationStart(const ::testing::UnitTest& unitTest, int) override {
        if (unitTest.test_to_run_count() <= 1) {
            return;
        }
        std::cerr << program_ << ": each test needs a process of its own (the library starts "
                  << "once per process), and " << unitTest.test_to_run_count()
                  << " were selected. Run one with --gtest_filter=Suite.Test, or all of them "
                  << "with ctest from the build folder.\n";
        std::exit(EXIT_FAILURE);
    }

private:
    const char* program_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new OneTestPerProcess(argv[0]));
    return RUN_ALL_TESTS();
}
