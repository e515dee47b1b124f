// The main of the test programs: every test runs inside a runtime of its own, as a frame
// would give it, so no timer, queued click or cached image passes from one test to the next.
// A frame kept from test to test (a static client) brings its own runtime and fires only its
// own timers, so while one is current the tests use it instead of hiding it under a new one.
#include <memory>

#include <gtest/gtest.h>

#include "platform/toolkit/runtime.h"

namespace {

class RuntimePerTest : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override {
    if (plat::Runtime::Current() == nullptr) m_runtime = std::make_unique<plat::Runtime>();
  }
  void OnTestEnd(const testing::TestInfo&) override { m_runtime.reset(); }

 private:
  std::unique_ptr<plat::Runtime> m_runtime;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new RuntimePerTest);
  return RUN_ALL_TESTS();
}
