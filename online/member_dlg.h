#pragma once
#include <optional>
#include <string>

#include "app/page_base.h"
#include "resources/templates/account_ids.h"
#include "ui/controls.h"

namespace online {

// What the registration page read from its boxes; the sex is the chosen item's text.
struct RegistrationInput {
  std::string email;
  std::string password;
  std::string passwordAgain;
  std::string nickname;
  std::string sex;
  std::string qq;
};

// The shortest nickname in bytes: 5 when its first byte is ASCII (below 0xA1)
// or from the full-width row 0xA3, else 4 (two Chinese characters).
int MinimumNicknameBytes(const std::string& nickname);

// The first check the input fails, as the message to show; nullopt when it passes.
std::optional<std::string> RegistrationInputProblem(const RegistrationInput& input);

// 1 for "男", 2 for "女", 0 for anything else.
int SexCode(const std::string& sex);

struct RegistrationOutcome {
  std::string message;
  bool closes = false;  // only a created account closes the page
};

// What a reply (line breaks already removed) tells the user.
RegistrationOutcome RegistrationReplyOutcome(const std::string& reply);

// The registration page: checks the input, sends one request and reports the
// server's answer. Nothing is signed in or stored here.
class CMemberDlg : public app::PageBase {
 public:
  explicit CMemberDlg(ui::Dialog* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;

 private:
  void OnRegister();

  ui::Edit email_;
  ui::Edit password_;
  ui::Edit passwordAgain_;
  ui::Edit nickname_;
  ui::Edit qq_;
  ui::ComboBox sex_;
};

}  // namespace online
