#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/backend.h"
#include "ui/user_actions.h"

namespace uitest {

// A port under test: its backend (also the user's side) and how it keeps time.
struct PortUnderTest {
  virtual ~PortUnderTest() = default;
  virtual ui::Backend& backend() = 0;
  virtual ui::UserActions& user() = 0;
};

// How to make one; `make` answers null when the port cannot run here (no
// display), and the suite skips.
struct PortFactory {
  std::string name;
  std::function<std::unique_ptr<PortUnderTest>()> make;
};

// What every port promises the pages, run against each port: a test binary
// instantiates the suite with its factory,
//   INSTANTIATE_TEST_SUITE_P(Gtk, BackendContract, ::testing::Values(factory), PortName);
class BackendContract : public ::testing::TestWithParam<PortFactory> {
 protected:
  void SetUp() override;
  void TearDown() override;

  ui::Backend& backend() { return port_->backend(); }
  ui::UserActions& user() { return port_->user(); }
  void Reset() { port_.reset(); }

 private:
  std::unique_ptr<PortUnderTest> port_;
};

inline std::string PortName(const ::testing::TestParamInfo<PortFactory>& info) {
  return info.param.name;
}

}  // namespace uitest
