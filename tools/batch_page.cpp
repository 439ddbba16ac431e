#include "tools/batch_page.h"

#include <system_error>

#include "app/services.h"
#include "resources/templates/tools_ids.h"
#include "tools/batch_replace.h"

namespace tools {

namespace {
// Messages the page posts to itself, beside the tools' own numbers.
constexpr std::uint32_t kWorkerExit = ui::msg::kUser + 0x3F1;
constexpr std::uint32_t kReleaseIfIdle = ui::msg::kUser + 0x3F2;
}  // namespace

BatchPage::BatchPage(int templateId, ToolKind tool, std::uint32_t statusMessage,
                     int saveFolderButton)
    : app::PageBase(templateId, nullptr), tool_(tool), statusMessage_(statusMessage) {
  SetFallbackFontControls({kBackButton});
  OnClicked(kBackButton, &BatchPage::OnBack);
  OnClicked(kFolderButton, &BatchPage::OnChooseFolder);
  if (saveFolderButton) OnClicked(saveFolderButton, &BatchPage::OnChooseSaveFolder);
  OnPosted(statusMessage, &BatchPage::OnStatus);
  OnPosted(ui::WorkerLink::kServeCall, &BatchPage::OnServeCall);
  OnPosted(kWorkerExit, &BatchPage::OnWorkerExit);
  OnPosted(kReleaseIfIdle, &BatchPage::OnReleaseIfIdle);
}

BatchPage::~BatchPage() {
  StopWorkers();
}

bool BatchPage::OnInitDialog() {
  app::PageBase::OnInitDialog();
  link_ = std::make_shared<ui::WorkerLink>(Poster());
  CenterWindow();
  SetTopmost(true);
  return true;
}

bool BatchPage::PreTranslateMessage(const ui::Message& message) {
  if (message.message == ui::msg::kKeyDown) {
    if (message.wParam == ui::key::kA && (message.modifiers & ui::mod::kCtrl)) {
      const int focus = message.controlId;
      for (int field : selectAllFields_) {
        if (field != focus || !GetDlgItem(field).IsWindowEnabled()) continue;
        ui::Edit edit(this, field);
        edit.SetSel(0, -1);
        return true;
      }
    }
    if (message.wParam == ui::key::kEscape) return true;
    if (message.wParam == ui::key::kReturn && swallowEnter_) return true;
  }
  // Not the shared page filter: on these pages Enter reaches the fields that
  // take line breaks, and the dialog's default processing elsewhere.
  return ui::Dialog::PreTranslateMessage(message);
}

void BatchPage::OnOK() {
  app::PageBase::OnOK();
  ReleaseWhenIdle();
}

void BatchPage::OnCancel() {
  app::PageBase::OnCancel();
  ReleaseWhenIdle();
}

void BatchPage::OnDestroy() {
  StopWorkers();
  app::PageBase::OnDestroy();
}

ToolSettingsFile BatchPage::SettingsFile() const {
  platform::Platform& services = app::Services();
  return ToolSettingsFile(services.files, services.profiles, tool_);
}

void BatchPage::ChooseFolder(int field) {
  if (auto folder = ui::Backend::Current().PickFolder(GetSafeHwnd(), "请选择文件夹")) {
    SetDlgItemText(field, *folder);
  }
}

int BatchPage::Ask(std::string_view text, std::string_view caption, unsigned type) {
  ++boxesOpen_;
  const int answer = MessageBox(text, caption, type);
  --boxesOpen_;
  ReleaseWhenIdle();
  return answer;
}

bool BatchPage::StartWorker(std::function<void(ui::WorkerLink&)> work) {
  if (!link_) return false;
  const std::uintptr_t id = nextWorker_++;
  std::shared_ptr<ui::WorkerLink> link = link_;
  const std::uint32_t status = statusMessage_;
  try {
    workers_.emplace(id, std::thread([link, id, status, work = std::move(work)] {
                       try {
                         work(*link);
                       } catch (const PageGone&) {
                       } catch (...) {
                         // A fault the run did not report ends it: the page says so,
                         // as a replace run that ends on an error does.
                         link->Post(status, 0,
                                    std::make_unique<ui::TextPayload>(CurrentFaultStatus()));
                       }
                       link->Post(kWorkerExit, id);
                     }));
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void BatchPage::OnStatus(std::uintptr_t, std::unique_ptr<ui::Payload> payload) {
  if (auto* text = dynamic_cast<ui::TextPayload*>(payload.get())) {
    SetDlgItemText(kStatusLabel, text->text);
    OnStatusShown(text->text);
  }
}

void ReadOnPage(ui::WorkerLink& link, std::function<void()> read) {
  if (!link.Call(std::move(read))) throw PageGone{};
}

void BatchPage::OnServeCall(std::uintptr_t, std::unique_ptr<ui::Payload> payload) {
  ui::WorkerLink::Serve(std::move(payload));
}

void BatchPage::OnWorkerExit(std::uintptr_t worker, std::unique_ptr<ui::Payload>) {
  auto it = workers_.find(worker);
  if (it == workers_.end()) return;
  // The thread has nothing left to do but end.
  it->second.join();
  workers_.erase(it);
  OnWorkerEnded();
  ReleaseWhenIdle();
}

void BatchPage::ReleaseWhenIdle() {
  // Later, from the queue: never from inside a handler of this page.
  if (!IsWindowVisible() && workers_.empty() && boxesOpen_ == 0) PostMessage(kReleaseIfIdle);
}

void BatchPage::OnReleaseIfIdle(std::uintptr_t, std::unique_ptr<ui::Payload>) {
  if (!IsWindowVisible() && workers_.empty() && boxesOpen_ == 0) DestroyWindow();
}

void BatchPage::StopWorkers() {
  if (link_) link_->Close();
  for (auto& [id, thread] : workers_) {
    if (thread.joinable()) thread.join();
  }
  workers_.clear();
}

void PageStatusSink::PostStatus(std::string text) {
  const bool posted = link_.Post(message_, 0, std::make_unique<ui::TextPayload>(std::move(text)));
  if (!posted && throwWhenGone_) throw PageGone{};
}

}  // namespace tools
