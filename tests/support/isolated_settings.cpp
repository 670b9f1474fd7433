// densora-cli follows the desktop program's settings of the user running it. The core tests
// run it with a settings folder of their own that holds nothing, so that every run sees the
// program's defaults whoever runs the tests; a test that needs a setting writes it there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "support/platform.h"
#include "support/records.h"

namespace {

class IsolatedSettings : public ::testing::Environment {
 public:
  void SetUp() override {
    m_dir = std::make_unique<testdata::TempDir>();
    testdata::SetEnvironment("XDG_CONFIG_HOME", m_dir->path().string());
  }
  void TearDown() override { m_dir.reset(); }

 private:
  std::unique_ptr<testdata::TempDir> m_dir;
};

[[maybe_unused]] ::testing::Environment* const kIsolatedSettings =
    ::testing::AddGlobalTestEnvironment(new IsolatedSettings);

}  // namespace
