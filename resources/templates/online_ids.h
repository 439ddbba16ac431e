#pragma once

// Template and control ids of the sign-in page, shared by its template and
// its class.
namespace online {

constexpr int kLoginTemplate = 131;
constexpr int kLoginPassword = 1004;
constexpr int kLoginRegister = 1005;
constexpr int kLoginSignIn = 1006;
constexpr int kLoginId = 1009;
constexpr int kLoginWithoutAccount = 1031;  // "免登陆"
constexpr int kLoginIdCaption = 1042;
constexpr int kLoginPasswordCaption = 1043;
constexpr int kLoginAutoSignIn = 1097;
constexpr int kLoginRemember = 1098;
constexpr int kLoginCloseIcon = 1002;
constexpr int kLoginNotice = 1107;

}  // namespace online
