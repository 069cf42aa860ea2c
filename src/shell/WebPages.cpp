#include "shell/WebPages.h"

#include "shell/Logging.h"

#include <QDesktopServices>
#include <QUrl>

namespace tessaly {

namespace web {

QString SupportForumPage()
{
    return QLatin1String(kSupportHost) % QLatin1String("/zforum/forumdisplay.php?f=12");
}

QString DonationPage()
{
    const QString account =
        QString::fromLatin1(kDonationAccount).replace(u'@', QLatin1String("%40"));
    return QLatin1String(kPaymentHost) % QLatin1String("/xclick/business=") % account %
           QLatin1String("&item_name=Donate+to+Tessaly");
}

QString HomePage()
{
    return QLatin1String(kHomeHost);
}

} // namespace web

std::int32_t OpenWebPage(const QString& url, std::int32_t showCommand)
{
    Q_UNUSED(showCommand);
    // StrictMode keeps the text as written: "%40" in the path must reach the browser unchanged.
    const QUrl page(url, QUrl::StrictMode);
    if (url.isEmpty() || !page.isValid() || page.scheme().isEmpty()) {
        qCWarning(lcShell) << "not a web page address:" << url;
        return kOpenWebPageBadUrl;
    }
    if (!QDesktopServices::openUrl(page)) {
        qCWarning(lcShell) << "no browser opened" << url;
        return kOpenWebPageNoBrowser;
    }
    return kOpenWebPageOpened;
}

} // namespace tessaly
