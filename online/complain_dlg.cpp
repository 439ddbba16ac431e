#include "online/complain_dlg.h"

#include <algorithm>
#include <vector>

#include "app/services.h"
#include "online/endpoints.h"
#include "online/server_request.h"
#include "online/server_text.h"
#include "tasks/task_table.h"

namespace online {

using namespace account;

namespace {

constexpr char kCaption[] = "提示";
constexpr int kQuitCode = 18;
constexpr int kReplyFieldCount = 10;

std::string DropSpaces(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

}  // namespace

FeedbackInput WithoutSpaces(FeedbackInput input) {
  return {DropSpaces(std::move(input.name)), DropSpaces(std::move(input.email)),
          DropSpaces(std::move(input.message))};
}

std::optional<std::string> FeedbackInputProblem(const FeedbackInput& input) {
  if (input.name.empty()) return "称呼不能为空";
  if (input.email.empty()) return "邮箱不能为空";
  if (input.message.empty()) return "内容不能为空";
  return std::nullopt;
}

long long FeedbackAccountNumber(const app::SessionState& session) {
  if (session.signedIn == 0) return 0;
  if (session.accountLevel != 0 && session.accountLevel != 1) return 0;
  return tasks::FieldInt(session.accountId());
}

std::string FeedbackRequestUrl(const std::string& format, const app::SessionState& session,
                               const FeedbackInput& input) {
  return FillTemplate(format,
                      {FeedbackAccountNumber(session), static_cast<long long>(session.accountLevel),
                       UrlFormEncode(input.name), input.email, std::string(kProductName),
                       UrlFormEncode(input.message)});
}

CComplainDlg::CComplainDlg(ui::Dialog* parent) : app::PageBase(kComplainTemplate, parent) {
  SetFallbackFontControls({kComplainNameLabel, kComplainName, kComplainEmailLabel, kComplainEmail,
                           kComplainMessageLabel, kComplainMessage, kComplainBack,
                           kComplainSubmit});
  SetLabelColors({kComplainNameLabel}, {kComplainEmailLabel, kComplainMessageLabel});
  OnClicked(kComplainSubmit, &CComplainDlg::OnSubmit);
  OnClicked(kComplainBack, &CComplainDlg::OnBack);
}

void CComplainDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kComplainName, name_);
  dx.Bind(kComplainEmail, email_);
  dx.Bind(kComplainMessage, message_);
}

bool CComplainDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  app::Shared().feedbackUrlFormat = ServerAddress(kFeedbackPath);
  message_.SetLimitText(kComplainMessageLimit);
  return true;
}

void CComplainDlg::OnSubmit() {
  app::SharedState& shared = app::Shared();
  const FeedbackInput input = WithoutSpaces(
      FeedbackInput{name_.GetWindowText(), email_.GetWindowText(), message_.GetWindowText()});
  if (const auto problem = FeedbackInputProblem(input)) {
    MessageBox(*problem, kCaption);
    return;
  }

  const TextReply reply = ServerTextRequest(
      app::Services().http, FeedbackRequestUrl(shared.feedbackUrlFormat, shared.session, input));
  if (!reply.ok()) {
    MessageBox(FailureText(reply.failure), kCaption);
    PostQuitMessage(kQuitCode);
    return;
  }
  // Only the last line counts: the fields are split again for each line.
  shared.feedbackReplyText.clear();
  std::vector<std::string> fields(kReplyFieldCount);
  for (const std::string& line : reply.lines) {
    shared.feedbackReplyText = line;
    fields = SplitFields(line, '|', kReplyFieldCount);
  }
  std::copy(fields.begin(), fields.end(), shared.feedbackReply.begin());

  const std::string& code = shared.feedbackReply[0];
  if (code == "404email") {
    MessageBox("请输入正确的邮箱!", kCaption);
  } else if (code == "404m") {
    MessageBox("提交失败，请稍候再尝试。感谢您对我们的支持!", kCaption);
  } else if (code == "tj111") {
    MessageBox("提交成功，感谢您对我们的支持!", kCaption);
    OnCancel();
  }
}

}  // namespace online
