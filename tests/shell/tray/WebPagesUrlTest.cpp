// The tray menu's pages as the desktop's browser receives them.

#include "common/qt/QtText.h"
#include "shell/WebPages.h"

#include <gtest/gtest.h>
#include <QUrl>

using namespace tessaly;

TEST(WebPages, SurviveTheTripToTheBrowserUnchanged)
{
    // openUrl hands over the encoded form; "%40" and "+" must not be decoded or re-encoded.
    for (const QString& page : {ToQString(web::SupportForumPage()), ToQString(web::DonationPage()),
                                ToQString(web::HomePage())}) {
        const QUrl url(page, QUrl::StrictMode);
        ASSERT_TRUE(url.isValid()) << page.toStdString();
        EXPECT_EQ(QString::fromLatin1(url.toEncoded()), page);
    }
    const QUrl forum(ToQString(web::SupportForumPage()));
    EXPECT_EQ(forum.path(), QStringLiteral("/zforum/forumdisplay.php"));
    EXPECT_EQ(forum.query(), QStringLiteral("f=12"));
}

TEST(WebPages, DonationFieldsStandInThePathOfThePaymentHost)
{
    const QUrl donation(ToQString(web::DonationPage()), QUrl::StrictMode);
    ASSERT_TRUE(donation.isValid());
    EXPECT_FALSE(donation.hasQuery());
    EXPECT_EQ(donation.host(), QStringLiteral("www.paypal.com"));
}
