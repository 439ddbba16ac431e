#pragma once
#include <string>
#include <string_view>

#include "server/store.h"

// The pages the program only shows, in UTF-8 with their charset declared.
namespace server {

std::string HtmlEscape(std::string_view text);

std::string HomePage();
// `account` is the signed-in visitor, or null.
std::string NavigationPage(const Account* account);
std::string InstructionsPage();
std::string PersonalPage(const Account& account, int taskCount);
std::string RefusalPage();
// The registration form, with the outcome of the last submission when there was one.
std::string RegistrationPage(const std::string& message, bool success);
// The administrator's advertisement: a whole document as it is, a fragment
// inside the common frame.
std::string AdvertisementPage(const std::string& content);
std::string NotFoundPage();

}  // namespace server
