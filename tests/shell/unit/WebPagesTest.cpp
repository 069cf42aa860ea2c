#include "shell/WebPages.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(WebPages, AreBuiltExactly)
{
    EXPECT_EQ(web::SupportForumPage(), u"https://support.tessaly.org/zforum/forumdisplay.php?f=12");
    EXPECT_EQ(web::DonationPage(), u"https://www.paypal.com/xclick/business=donate%40tessaly.org"
                                   u"&item_name=Donate+to+Tessaly");
    EXPECT_EQ(web::HomePage(), u"https://www.tessaly.org");
}

TEST(WebPages, DonationFieldsStandInThePath)
{
    EXPECT_EQ(web::DonationPage().find(u'?'), std::u16string::npos);
    EXPECT_EQ(web::DonationPage().find(u'@'), std::u16string::npos);
}
