#pragma once
#include <initializer_list>
#include <string>
#include <variant>

#include "app/shared_state.h"

// Where the vendor server is and the address of every request made of it.
// Paths and query keys are fixed; only the base address is ours to choose.
namespace online {

// The base address: ORVANE_VENDOR_SERVER when set and not empty, else the
// build's default; "http://" or "https://", a host, maybe a port, no path (a
// trailing "/" is dropped so that every path below joins cleanly).
std::string VendorServer();
// The base without its scheme: the server's domain name (with its port).
std::string VendorServerHost();

// The running product.
inline constexpr const char* kProductVersion = "6.1.2";
inline constexpr const char* kProductVersionPrefix = "6.1";
inline constexpr const char* kProductName = "Orvane";
inline constexpr const char* kUpdaterName = "DravoUP";

// Paths and templates on the base. "%s" takes text, "%d" a decimal integer,
// in the order of the query keys.
inline constexpr const char* kVersionQueryPath = "/SoftWare/userroom/stRegulation.php?vBC=Orvane";
inline constexpr const char* kProductDownloadQueryPath =
    "/SoftWare/userroom/stRegulation.php?updownload=Orvane";
inline constexpr const char* kUpdaterDownloadQueryPath =
    "/SoftWare/userroom/stRegulation.php?updownload=DravoUP";
inline constexpr const char* kSiteIpToolQueryPath =
    "/SoftWare/userroom/stRegulation.php?updownload=DomainName";
inline constexpr const char* kSignInPath = "/SoftWare/userroom/stLogin.php?dlu=1&dl=%s&password=%s";
inline constexpr const char* kRegistrationPath =
    "/SoftWare/userroom/stMember.php?cs=1&usr=%s&pasd=%s&email=%s&nannv=%d&qa=8&qim=%s&vcar=1";
inline constexpr const char* kFeedbackPath =
    "/SoftWare/userroom/stComments.php?fk=1&mi=%d&tm=%d&am=%s&me=%s&mt=%s&mn=%s";
inline constexpr const char* kTaskServicePath = "/SoftWare/Program/Orvane/Task.php";
inline constexpr const char* kAdQueryPath = "/SoftWare/userroom/stRegulation.php?DravoAD=Orvane";
inline constexpr const char* kPersonalPagePath = "/SoftWare/userroom/stUser.php?dlu=1&dl=%s&pd=%s";
inline constexpr const char* kNavigationPagePath = "/Too/daohang.php";
inline constexpr const char* kInstructionsPagePath =
    "/SoftWare/userroom/stRegulation.php?seleweb=OrvaneSM";

// Templates filled with a complete address as their first value.
inline constexpr const char* kTaskChangeFormat =
    "%s?hlu=1&dl=%s&password=%s&taskcontent=%s&tasktb=%s&xgy=%s&zrid=%s";
inline constexpr const char* kTaskDeleteFormat =
    "%s?hlu=1&dl=%s&password=%s&taskcontent=%s&tasktb=%s&xgy=%s&sctb=%d&zrid=%s";
inline constexpr const char* kTaskFetchFormat = "%s?qlu=1&dl=%s&password=%s";
inline constexpr const char* kAdRequestFormat = "%s&lx=%d";
inline constexpr const char* kAdRequestOldSystemFormat = "%s&lx=%d&Wx=X";
// Appended to the navigation page for a signed-in account (id, password).
inline constexpr const char* kNavigationAccountQuery = "?dlu=1&dl=%s&pd=%s";

// A path on the base: VendorServer() + path.
std::string ServerAddress(const char* path);

// Sets every member of `urls` to its value on the current base, as the
// sign-in page does each time it opens.
void FillServerUrls(app::ServerUrls& urls);

// One value for a template slot.
using TemplateValue = std::variant<std::string, long long>;

// Fills "%s" and "%d" in order with `values` (text inserted as it is, numbers
// in decimal) and "%%" with "%". A slot without a value, or of the other
// kind, becomes empty: templates are ours, so that is a fault of the caller,
// asserted in debug builds. Unlike a C format, values of any length fit.
std::string FillTemplate(const std::string& format, std::initializer_list<TemplateValue> values);

}  // namespace online
