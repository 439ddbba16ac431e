#pragma once
#include <string>

#include "app/shared_state.h"
#include "tests/account/account_fixture.h"

namespace webtest {

// The pages with the one command only these tests need: a web view's
// refreshes, which no common command reads.
struct WebPages : accounttest::Pages {
  WebPages() {
    h.runner.AddCommand(
        "expect refreshes", [this](ui::ScenarioContext& ctx, const ui::ScenarioCommand&) {
          if (!ctx.Usage(4, "expect refreshes WINDOW CONTROL COUNT")) return false;
          const ui::WindowId w = ctx.WindowArg(1);
          const auto id = ctx.ControlArg(2);
          const auto count = ctx.NumberArg(3);
          if (!w || !id || !count) return false;
          const int seen = h.backend.WebRefreshes(w, *id);
          return seen == *count || ctx.Fail("refreshed " + std::to_string(seen) + " times");
        });
  }
};

// The window the browser page opens over: its button runs `open`.
struct Opener : uitest::TestDlg {
  template <class Open>
  explicit Opener(Open open) : uitest::TestDlg(uitest::kOuter) {
    onClick = open;
  }
};

}  // namespace webtest
