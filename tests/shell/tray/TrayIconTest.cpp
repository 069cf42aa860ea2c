#include "common/qt/QtText.h"
#include "shell/qt/AppIcon.h"
#include "shell/qt/OpenWebPage.h"
#include "shell/qt/SysTray.h"
#include "shell/WebPages.h"

#include <gtest/gtest.h>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QUrl>
#include <QWidget>
#include <stdexcept>
#include <vector>

using namespace tessaly;

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class TrayIconTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveTrayIcon(); }
};

} // namespace

TEST_F(TrayIconTest, AddFillsTheRecordAndClicksArriveAsMouseMessages)
{
    QWidget window;
    std::vector<int> messages;
    AddTrayIcon(&window, AppIcon(), QStringLiteral("Tessaly"), kWM_MOUSEMOVE,
                [&](int message) { messages.push_back(message); });
    ASSERT_NE(TrayIcon(), nullptr);
    EXPECT_TRUE(IsTrayIconPresent());
    EXPECT_EQ(TrayIcon()->toolTip(), QStringLiteral("Tessaly"));

    const NotifyIconDataA& record = TrayIconRecord();
    EXPECT_EQ(record.cbSize, 88u);
    EXPECT_EQ(record.uID, 1u);
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 0x0200u);
    EXPECT_EQ(record.hWnd, static_cast<std::uint32_t>(window.winId()));
    EXPECT_NE(record.hIcon, 0u);
    EXPECT_EQ(NotifyIconTip(record), "Tessaly");

    const bool doubleClicks = TrayHostHasDoubleClick(CurrentTrayHost());
    Q_EMIT TrayIcon()->activated(QSystemTrayIcon::Context);
    Q_EMIT TrayIcon()->activated(QSystemTrayIcon::DoubleClick);
    Q_EMIT TrayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(messages, (std::vector<int>{kWM_RBUTTONUP, kWM_LBUTTONDBLCLK,
                                          doubleClicks ? kWM_LBUTTONUP : kWM_LBUTTONDBLCLK}));
}

TEST_F(TrayIconTest, IsAddedOnceAndNeverChangedByASecondAdd)
{
    QWidget window;
    int first = 0;
    int second = 0;
    AddTrayIcon(&window, AppIcon(), QStringLiteral("Tessaly"), kWM_MOUSEMOVE,
                [&](int) { ++first; });
    QSystemTrayIcon* icon = TrayIcon();
    AddTrayIcon(&window, QIcon(), QStringLiteral("Other"), 0x400, [&](int) { ++second; });
    EXPECT_EQ(TrayIcon(), icon);
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Tessaly"));
    EXPECT_EQ(TrayIconRecord().uCallbackMessage, 0x0200u);
    Q_EMIT icon->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}

TEST_F(TrayIconTest, RemoveIsImmediateRepeatableAndSafeFromTheIconsOwnHandler)
{
    QWidget window;
    bool stillPresentAfterRemove = true;
    AddTrayIcon(&window, AppIcon(), QStringLiteral("Tessaly"), kWM_MOUSEMOVE, [&](int) {
        RemoveTrayIcon(); // Exit chosen while the icon is delivering its click
        stillPresentAfterRemove = IsTrayIconPresent();
    });
    Q_EMIT TrayIcon()->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(stillPresentAfterRemove);
    EXPECT_EQ(TrayIcon(), nullptr);
    RemoveTrayIcon();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(IsTrayIconPresent());
    EXPECT_EQ(TrayIconRecord().uID, 1u); // the record that named the icon is kept
}

TEST_F(TrayIconTest, AFailingHandlerDoesNotEscapeIntoTheEventLoop)
{
    QWidget window;
    AddTrayIcon(&window, AppIcon(), QStringLiteral("Tessaly"), kWM_MOUSEMOVE,
                [](int) { throw std::runtime_error("handler failed"); });
    EXPECT_NO_THROW(Q_EMIT TrayIcon()->activated(QSystemTrayIcon::Context));
    EXPECT_TRUE(IsTrayIconPresent());
}

TEST_F(TrayIconTest, TheIconGoesWithItsWindow)
{
    auto* window = new QWidget;
    AddTrayIcon(window, AppIcon(), QStringLiteral("Tessaly"), kWM_MOUSEMOVE, nullptr);
    delete window;
    EXPECT_FALSE(IsTrayIconPresent());
    EXPECT_EQ(TrayIcon(), nullptr);
}

TEST(AppIcon, HasCrispSmallSizesAndLargeOnes)
{
    const QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 22, 24, 32, 48, 128})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    const QImage small = icon.pixmap(QSize(16, 16), 1.0).toImage();
    ASSERT_EQ(small.size(), QSize(16, 16));
    // The speech bubble is white and the note inside it is dark: both readable at 16 px.
    EXPECT_EQ(small.pixelColor(4, 4).rgb(), QColor(Qt::white).rgb());
    EXPECT_LT(small.pixelColor(6, 5).lightness(), 120);
}

TEST(OpenWebPage, HandsThePageToTheDesktopAndReportsLikeTheShell)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    EXPECT_GT(OpenWebPage(web::DonationPage(), kSW_SHOWNORMAL), 32);
    EXPECT_GT(OpenWebPage(web::SupportForumPage(), kSW_SHOWNORMAL), 32);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(QString::fromLatin1(catcher.urls[0].toEncoded()), ToQString(web::DonationPage()));
    EXPECT_EQ(QString::fromLatin1(catcher.urls[1].toEncoded()), ToQString(web::SupportForumPage()));
}

TEST(OpenWebPage, BadAddressesAndNoBrowserShowNothingAndFailQuietly)
{
    EXPECT_EQ(OpenWebPage(u"", kSW_SHOWNORMAL), kOpenWebPageBadUrl);
    EXPECT_EQ(OpenWebPage(u"http://exa mple.org/%zz", kSW_SHOWNORMAL), kOpenWebPageBadUrl);
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "only the offscreen platform has no browser to start";
    EXPECT_EQ(OpenWebPage(web::HomePage(), kSW_SHOWNORMAL), kOpenWebPageNoBrowser);
}

#include "TrayIconTest.moc"
