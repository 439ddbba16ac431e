#pragma once
#include <optional>
#include <string>

#include "app/page_base.h"
#include "app/shared_state.h"
#include "resources/templates/account_ids.h"
#include "ui/controls.h"

namespace online {

struct FeedbackInput {
  std::string name;
  std::string email;
  std::string message;
};

// The input with every space taken out, as it is checked and sent.
FeedbackInput WithoutSpaces(FeedbackInput input);
// The first empty field's message; nullopt when all three are filled.
std::optional<std::string> FeedbackInputProblem(const FeedbackInput& input);

// The numeric account id the request carries: 0 without an account (and for
// levels other than 0 and 1, which claim nothing), else the id's leading digits.
long long FeedbackAccountNumber(const app::SessionState& session);

// The request: the name and message encoded, the e-mail as typed.
std::string FeedbackRequestUrl(const std::string& format, const app::SessionState& session,
                               const FeedbackInput& input);

// The feedback page: one request per submit; a stored message closes it.
class CComplainDlg : public app::PageBase {
 public:
  explicit CComplainDlg(ui::Dialog* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;

 private:
  void OnSubmit();

  ui::Edit name_;
  ui::Edit email_;
  ui::Edit message_;
};

}  // namespace online
