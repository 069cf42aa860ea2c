#include "shell/WebPages.h"

namespace tessaly::web {

std::u16string SupportForumPage()
{
    return std::u16string(kSupportHost) + u"/zforum/forumdisplay.php?f=12";
}

std::u16string DonationPage()
{
    std::u16string account;
    for (const char16_t c : std::u16string_view(kDonationAccount))
        account += c == u'@' ? std::u16string(u"%40") : std::u16string(1, c);
    return std::u16string(kPaymentHost) + u"/xclick/business=" + account +
           u"&item_name=Donate+to+Tessaly";
}

std::u16string HomePage()
{
    return kHomeHost;
}

} // namespace tessaly::web
