#pragma once
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/page_base.h"
#include "resources/templates/tools_ids.h"
#include "tools/status_sink.h"
#include "tools/tool_settings.h"
#include "ui/worker_link.h"

namespace tools {

// Thrown on a worker when its page has gone: the run ends there.
struct PageGone {};

// What the three batch tool pages share: centred and topmost, settings in the
// tool's file, the folder picker, the keyboard filter with the page's
// select-all fields, and the workers. A worker reaches its page only through
// the page's link: status lines are posted, fields are read by calls the
// page's thread serves. The page is modeless: back or Enter hide it, and a
// hidden page with no worker left frees itself, since nothing can show it
// again; one that goes while workers run closes the link and waits for them.
class BatchPage : public app::PageBase {
 public:
  // `statusMessage` carries the worker's status lines; `saveFolderButton`,
  // where the page has one, picks a folder for the save-folder field.
  BatchPage(int templateId, ToolKind tool, std::uint32_t statusMessage, int saveFolderButton = 0);
  ~BatchPage() override;

  // Workers started and not yet ended.
  int RunningWorkers() const { return static_cast<int>(workers_.size()); }

 protected:
  bool OnInitDialog() override;
  bool PreTranslateMessage(const ui::Message& message) override;
  void OnOK() override;
  void OnCancel() override;
  void OnDestroy() override;

  // The keyboard filter's fields, and whether Enter is swallowed too.
  void SetSelectAllFields(std::vector<int> fields, bool swallowEnter) {
    selectAllFields_ = std::move(fields);
    swallowEnter_ = swallowEnter;
  }

  ToolSettingsFile SettingsFile() const;
  // Replaces the field's text with the folder the user picks.
  void ChooseFolder(int field);
  // Message boxes of the page: the page stays while one is open, however
  // its workers end meanwhile.
  int Ask(std::string_view text, std::string_view caption = {}, unsigned type = ui::mb::kOk);

  // Runs `work` on a thread of its own with the page's link; false when no
  // thread could be started. An exception that escapes `work` is shown as the
  // run's last status line. OnWorkerEnded follows on the page's thread after
  // everything the worker posted.
  bool StartWorker(std::function<void(ui::WorkerLink&)> work);
  virtual void OnWorkerEnded() {}

  // Each status text as it is shown, in order.
  virtual void OnStatusShown(const std::string& /*text*/) {}

 private:
  void OnChooseFolder() { ChooseFolder(kFolderEdit); }
  void OnChooseSaveFolder() { ChooseFolder(kSaveFolderEdit); }
  // Shows a posted status text in the status line; the text goes with it.
  void OnStatus(std::uintptr_t, std::unique_ptr<ui::Payload> payload);
  void OnServeCall(std::uintptr_t, std::unique_ptr<ui::Payload> payload);
  void OnWorkerExit(std::uintptr_t worker, std::unique_ptr<ui::Payload>);
  void OnReleaseIfIdle(std::uintptr_t, std::unique_ptr<ui::Payload>);
  void ReleaseWhenIdle();
  void StopWorkers();

  ToolKind tool_;
  std::uint32_t statusMessage_;
  std::vector<int> selectAllFields_;
  bool swallowEnter_ = false;
  std::shared_ptr<ui::WorkerLink> link_;
  std::map<std::uintptr_t, std::thread> workers_;
  std::uintptr_t nextWorker_ = 1;
  int boxesOpen_ = 0;
};

// Calls `read` on the page's thread from a worker; throws PageGone when the
// page went first.
void ReadOnPage(ui::WorkerLink& link, std::function<void()> read);

// A worker's status lines as messages to its page.
class PageStatusSink : public StatusSink {
 public:
  // `throwWhenGone`: a status the page can no longer take ends the run.
  PageStatusSink(ui::WorkerLink& link, std::uint32_t message, bool throwWhenGone = false)
      : link_(link), message_(message), throwWhenGone_(throwWhenGone) {}
  void PostStatus(std::string text) override;

 protected:
  ui::WorkerLink& link_;

 private:
  std::uint32_t message_;
  bool throwWhenGone_;
};

}  // namespace tools
