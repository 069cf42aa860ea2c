#pragma once

// The three web pages of the tray menu.

#include <cstdint>
#include <string>

namespace tessaly {

namespace web {

// The product's site, the support site, the payment service and the receiving account.
inline constexpr char16_t kHomeHost[] = u"https://www.tessaly.org";
inline constexpr char16_t kSupportHost[] = u"https://support.tessaly.org";
inline constexpr char16_t kPaymentHost[] = u"https://www.paypal.com";
inline constexpr char16_t kDonationAccount[] = u"donate@tessaly.org";

// The support forum's listing page.
std::u16string SupportForumPage();
// The payment service's web payment page; its fields stand in the path, without a "?".
std::u16string DonationPage();
std::u16string HomePage();

} // namespace web

inline constexpr std::int32_t kSW_SHOWNORMAL = 1;

// Shell-style results of OpenWebPage: above 32 is success.
inline constexpr std::int32_t kOpenWebPageOpened = 42;
inline constexpr std::int32_t kOpenWebPageBadUrl = 2;     // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t kOpenWebPageNoBrowser = 31; // SE_ERR_NOASSOC

} // namespace tessaly
