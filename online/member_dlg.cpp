#include "online/member_dlg.h"

#include "app/services.h"
#include "app/shared_state.h"
#include "online/endpoints.h"
#include "online/server_request.h"

namespace online {

using namespace account;

namespace {

constexpr char kCaption[] = "提示";

// Every occurrence of `what` taken out of `text`.
void RemoveAll(std::string& text, const std::string& what) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
}

}  // namespace

int MinimumNicknameBytes(const std::string& nickname) {
  const auto first = nickname.empty() ? 0 : static_cast<unsigned char>(nickname[0]);
  return first < 0xA1 || first == 0xA3 ? 5 : 4;
}

std::optional<std::string> RegistrationInputProblem(const RegistrationInput& input) {
  if (input.email.empty() || input.password.empty() || input.nickname.empty() ||
      input.sex.empty()) {
    return "必填项不能为空!";
  }
  if (input.password.size() < 6) return "密码长度不能少于6位！";
  if (input.password != input.passwordAgain) return "两次输入的密码不同";
  const int minimum = MinimumNicknameBytes(input.nickname);
  if (static_cast<int>(input.nickname.size()) < minimum) {
    return "用户名不能小于" + std::to_string(minimum) + "个字符";
  }
  return std::nullopt;
}

int SexCode(const std::string& sex) {
  if (sex == "男") return 1;
  if (sex == "女") return 2;
  return 0;
}

RegistrationOutcome RegistrationReplyOutcome(const std::string& reply) {
  const std::size_t bar = reply.find('|');
  const std::string code = reply.substr(0, bar);
  const std::string account = bar == std::string::npos ? "" : reply.substr(bar + 1);
  if (code == "404email") return {"请输入正确的邮箱!"};
  if (code == "404e") return {"该邮箱已注册，请更换邮箱或登录"};
  if (code == "403ui") return {"十分抱歉！注册数量发放结束，请留意下一次发放时间！"};
  if (code == "404m" || code == "404u") return {"注册失败!"};
  if (code == "mem111") return {"恭喜注册成功！请牢记您的登陆账号：" + account, true};
  return {"未知响应: " + reply};
}

CMemberDlg::CMemberDlg(ui::Dialog* parent) : app::PageBase(kMemberTemplate, parent) {
  SetFallbackFontControls({kMemberEmailLabel, kMemberEmail, kMemberPasswordLabel, kMemberPassword,
                           kMemberPasswordAgainLabel, kMemberPasswordAgain, kMemberNicknameLabel,
                           kMemberNickname, kMemberSexLabel, kMemberSex, kMemberQqLabel, kMemberQq,
                           kMemberRegister, kMemberBack});
  SetLabelColors({kMemberEmailLabel}, {kMemberPasswordLabel, kMemberPasswordAgainLabel,
                                       kMemberNicknameLabel, kMemberSexLabel, kMemberQqLabel});
  OnClicked(kMemberRegister, &CMemberDlg::OnRegister);
  OnClicked(kMemberBack, &CMemberDlg::OnBack);
}

void CMemberDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kMemberEmail, email_);
  dx.Bind(kMemberPassword, password_);
  dx.Bind(kMemberPasswordAgain, passwordAgain_);
  dx.Bind(kMemberNickname, nickname_);
  dx.Bind(kMemberQq, qq_);
  dx.Bind(kMemberSex, sex_);
}

bool CMemberDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  app::Shared().registrationUrlFormat = ServerAddress(kRegistrationPath);
  sex_.AddString("男");
  sex_.AddString("女");
  sex_.SetCurSel(1);
  return true;
}

void CMemberDlg::OnRegister() {
  app::SharedState& shared = app::Shared();
  RegistrationInput input{email_.GetWindowText(),
                          password_.GetWindowText(),
                          passwordAgain_.GetWindowText(),
                          nickname_.GetWindowText(),
                          {},
                          qq_.GetWindowText()};
  if (const int chosen = sex_.GetCurSel(); chosen >= 0) input.sex = sex_.GetLBText(chosen);
  if (const auto problem = RegistrationInputProblem(input)) {
    MessageBox(*problem, kCaption);
    return;
  }

  const std::string url = FillTemplate(shared.registrationUrlFormat,
                                       {input.nickname, input.password, input.email,
                                        static_cast<long long>(SexCode(input.sex)), input.qq});
  shared.registrationReply.clear();
  const TextReply reply = ServerTextRequest(app::Services().http, url);
  if (!reply.ok()) {
    MessageBox(FailureText(reply.failure), kCaption);
    return;
  }
  shared.registrationReply = reply.Joined();
  RemoveAll(shared.registrationReply, "\r\n");
  RemoveAll(shared.registrationReply, "\n");

  const RegistrationOutcome outcome = RegistrationReplyOutcome(shared.registrationReply);
  MessageBox(outcome.message, kCaption);
  if (outcome.closes) OnCancel();
}

}  // namespace online
