#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/sim/virtual_clock.h"
#include "ui/backend/headless/headless_backend.h"
#include "ui/dialog.h"
#include "ui/scenario.h"

namespace uitest {

constexpr int kOuter = 501;
constexpr int kInner = 502;
constexpr int kButton = 10;
constexpr int kEdit = 11;
constexpr int kCheck = 12;
constexpr int kLabel = 13;
constexpr int kWebTemplate = 503;
constexpr int kWeb = 14;

// Two small templates: a button, an edit, a check box and a label each.
inline void RegisterTestTemplates() {
  for (int id : {kOuter, kInner}) {
    ui::DialogTemplate t;
    t.id = id;
    t.width = 100;
    t.height = 60;
    t.style = ui::ds::kPopup | ui::ds::kVisible;
    t.controls = {
        {kButton, ui::ControlKind::Button, "OK", {5, 5, 40, 14}},
        {kEdit, ui::ControlKind::Edit, "", {5, 22, 80, 14}},
        {kCheck, ui::ControlKind::CheckBox, "tick", {50, 5, 40, 14}},
        {kLabel, ui::ControlKind::Static, "", {5, 40, 80, 8}},
    };
    ui::RegisterTemplate(std::move(t));
  }
  // A web view over most of a page-sized dialog: presses on it stay with it.
  ui::DialogTemplate web;
  web.id = kWebTemplate;
  web.width = 100;
  web.height = 70;
  web.style = ui::ds::kPopup;
  web.controls = {{kWeb, ui::ControlKind::WebView, "", {10, 10, 80, 40}}};
  ui::RegisterTemplate(std::move(web));
}

// A dialog whose behaviour each test fills in.
class TestDlg : public ui::Dialog {
 public:
  explicit TestDlg(int templateId, ui::Dialog* parent = nullptr) : ui::Dialog(templateId, parent) {
    OnClicked(kButton, &TestDlg::Clicked);
  }
  std::function<void()> onClick;
  std::function<void(int)> onTimer;
  std::function<bool()> onInit;
  std::vector<int> ticks;

 protected:
  bool OnInitDialog() override { return onInit ? onInit() : ui::Dialog::OnInitDialog(); }
  void OnTimer(int id) override {
    ticks.push_back(id);
    if (onTimer) onTimer(id);
  }

 private:
  void Clicked() {
    if (onClick) onClick();
  }
};

// A headless backend with a scenario runner as its user.
struct Harness {
  platform::sim::VirtualClock clock;
  ui::headless::HeadlessBackend backend{clock};
  ui::ScenarioRunner runner{backend, backend};

  Harness() {
    ui::Backend::SetCurrent(&backend);
    RegisterTestTemplates();
    backend.SetScript(&runner);
  }
  ~Harness() { ui::Backend::SetCurrent(nullptr); }

  // Loads a script (UTF-8); an ill-formed one fails the test at once.
  bool Script(const std::string& text) { return runner.LoadText(text, "test"); }
};

}  // namespace uitest
