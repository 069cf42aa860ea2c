#include "shell/qt/OpenWebPage.h"

#include "common/qt/Logging.h"
#include "common/qt/QtText.h"

#include <QDesktopServices>
#include <QUrl>

namespace tessaly {

std::int32_t OpenWebPage(std::u16string_view url, std::int32_t showCommand)
{
    Q_UNUSED(showCommand);
    const QString text = ToQString(url);
    // StrictMode keeps the text as written: "%40" in the path must reach the browser unchanged.
    const QUrl page(text, QUrl::StrictMode);
    if (text.isEmpty() || !page.isValid() || page.scheme().isEmpty()) {
        qCWarning(lcShell) << "not a web page address:" << text;
        return kOpenWebPageBadUrl;
    }
    if (!QDesktopServices::openUrl(page)) {
        qCWarning(lcShell) << "no browser opened" << text;
        return kOpenWebPageNoBrowser;
    }
    return kOpenWebPageOpened;
}

} // namespace tessaly
