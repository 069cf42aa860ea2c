#include "shell/WebPages.h"

#include <gtest/gtest.h>
#include <QUrl>

using namespace tessaly;

TEST(WebPages, AreBuiltExactly)
{
    EXPECT_EQ(web::SupportForumPage(),
              QStringLiteral("https://support.tessaly.org/zforum/forumdisplay.php?f=12"));
    EXPECT_EQ(web::DonationPage(),
              QStringLiteral("https://www.paypal.com/xclick/business=donate%40tessaly.org"
                             "&item_name=Donate+to+Tessaly"));
    EXPECT_EQ(web::HomePage(), QStringLiteral("https://www.tessaly.org"));
}

TEST(WebPages, DonationFieldsStandInThePath)
{
    const QUrl donation(web::DonationPage(), QUrl::StrictMode);
    ASSERT_TRUE(donation.isValid());
    EXPECT_FALSE(donation.hasQuery());
    EXPECT_EQ(donation.host(), QStringLiteral("www.paypal.com"));
    EXPECT_FALSE(web::DonationPage().contains(u'?'));
    EXPECT_FALSE(web::DonationPage().contains(u'@'));
}

TEST(WebPages, SurviveTheTripToTheBrowserUnchanged)
{
    // openUrl hands over the encoded form; "%40" and "+" must not be decoded or re-encoded.
    for (const QString& page : {web::SupportForumPage(), web::DonationPage(), web::HomePage()}) {
        const QUrl url(page, QUrl::StrictMode);
        ASSERT_TRUE(url.isValid()) << page.toStdString();
        EXPECT_EQ(QString::fromLatin1(url.toEncoded()), page);
    }
    const QUrl forum(web::SupportForumPage());
    EXPECT_EQ(forum.path(), QStringLiteral("/zforum/forumdisplay.php"));
    EXPECT_EQ(forum.query(), QStringLiteral("f=12"));
}
