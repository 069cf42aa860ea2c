#pragma once

// The three web pages of the tray menu, and opening a page in the user's browser.

#include <cstdint>
#include <QString>

namespace tessaly {

namespace web {

// The product's site, the support site, the payment service and the receiving account.
inline constexpr char kHomeHost[] = "https://www.tessaly.org";
inline constexpr char kSupportHost[] = "https://support.tessaly.org";
inline constexpr char kPaymentHost[] = "https://www.paypal.com";
inline constexpr char kDonationAccount[] = "donate@tessaly.org";

// The support forum's listing page.
QString SupportForumPage();
// The payment service's web payment page; its fields stand in the path, without a "?".
QString DonationPage();
QString HomePage();

} // namespace web

inline constexpr std::int32_t kSW_SHOWNORMAL = 1;

// Shell-style results of OpenWebPage: above 32 is success.
inline constexpr std::int32_t kOpenWebPageOpened = 42;
inline constexpr std::int32_t kOpenWebPageBadUrl = 2;     // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t kOpenWebPageNoBrowser = 31; // SE_ERR_NOASSOC

// Hands `url` to the desktop's browser. `showCommand` is accepted for the Windows shell and has
// no effect here. Nothing is shown when no browser opens the page; the result says so.
std::int32_t OpenWebPage(const QString& url, std::int32_t showCommand);

} // namespace tessaly
