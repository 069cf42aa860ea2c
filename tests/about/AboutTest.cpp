#include "about/qt/frmAbout.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

int OpenAboutBoxes()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("frmAbout") && widget->isVisible())
            ++count;
    return count;
}

void Unload()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class AboutTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (frmAbout* about = frmAbout::SharedInstance())
            about->close();
        Unload();
    }

    template <typename T> static T* Control(const char* name)
    {
        return frmAbout::SharedInstance()->findChild<T*>(QLatin1String(name));
    }
};

} // namespace

TEST(AboutVersion, ShowsMajorMinorRevisionWithoutTheBuild)
{
    EXPECT_EQ(tessaly::about::VersionLine(1, 0, 18), QStringLiteral("Version 1.0.18"));
    EXPECT_EQ(tessaly::about::VersionLine(2, 10, 0), QStringLiteral("Version 2.10.0"));
    EXPECT_EQ(tessaly::about::ProgramVersionLine(), QStringLiteral("Version 1.0.18"));
}

TEST_F(AboutTest, LoadSetsCaptionTitleAndVersion)
{
    frmAbout::ShowShared();
    frmAbout* about = frmAbout::SharedInstance();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Tessaly"));
    EXPECT_EQ(Control<QLabel>("lblTitle")->text(), QStringLiteral("Tessaly"));
    EXPECT_EQ(Control<QLabel>("lblVersion")->text(), QStringLiteral("Version 1.0.18"));
    EXPECT_FALSE(Control<QLabel>("lblDescription")->text().isEmpty());
    EXPECT_TRUE(Control<QPlainTextEdit>("Text1")->isReadOnly());
    EXPECT_TRUE(Control<QPlainTextEdit>("Text1")->font().bold());
    EXPECT_FALSE(Control<QLabel>("lblTitle")->font().bold());
    EXPECT_EQ(Control<QPushButton>("cmdOK")->text(), QStringLiteral("OK"));
}

TEST_F(AboutTest, IsAFixedModelessTopmostDialogWithoutOwner)
{
    frmAbout::ShowShared();
    frmAbout* about = frmAbout::SharedInstance();
    EXPECT_EQ(about->parentWidget(), nullptr);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QSize client(5730 / 15, 3720 / 15);
    EXPECT_EQ(about->size(), client);
    EXPECT_EQ(about->minimumSize(), client);
    EXPECT_EQ(about->maximumSize(), client);
    const Qt::WindowFlags flags = about->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(about->windowType(), Qt::Dialog);
}

TEST_F(AboutTest, ControlsSitAtTheirDesignPositions)
{
    frmAbout::ShowShared();
    struct Place {
        const char* name;
        int left, top, width, height; // twips
    };
    const Place places[] = {
        {"picIcon", 135, 60, 720, 720},
        {"lblTitle", 1005, 45, 3885, 480},
        {"lblVersion", 1005, 585, 3885, 225},
        {"cmdOK", 4365, 3285, 1260, 345},
    };
    for (const Place& p : places) {
        QWidget* control = Control<QWidget>(p.name);
        ASSERT_NE(control, nullptr) << p.name;
        EXPECT_EQ(control->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15))
            << p.name;
    }
    // Everything stays inside the client area.
    const QRect client = frmAbout::SharedInstance()->rect();
    for (QWidget* control :
         frmAbout::SharedInstance()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(client.contains(control->geometry())) << control->objectName().toStdString();
}

TEST_F(AboutTest, ShowsTheProgramsIcon)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::darkCyan);
    const QIcon previous = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon(pixmap));
    frmAbout::ShowShared();
    const QPixmap shown = Control<QLabel>("picIcon")->pixmap();
    QApplication::setWindowIcon(previous);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.toImage().pixelColor(24, 24), QColor(Qt::darkCyan));
}

TEST_F(AboutTest, ChoosingAboutTwiceLeavesOneBox)
{
    frmAbout::ShowShared();
    frmAbout* first = frmAbout::SharedInstance();
    frmAbout::ShowShared();
    EXPECT_EQ(frmAbout::SharedInstance(), first);
    EXPECT_EQ(OpenAboutBoxes(), 1);
}

TEST_F(AboutTest, OkUnloadsAndTheNextOpeningIsAFreshLoad)
{
    frmAbout::ShowShared();
    QPointer<frmAbout> first = frmAbout::SharedInstance();
    Control<QLabel>("lblTitle")->setText(QStringLiteral("stale"));
    first->setWindowTitle(QStringLiteral("stale"));
    Control<QPushButton>("cmdOK")->click();
    Unload();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(frmAbout::SharedInstance(), nullptr);
    EXPECT_EQ(OpenAboutBoxes(), 0);

    frmAbout::ShowShared();
    ASSERT_NE(frmAbout::SharedInstance(), nullptr);
    EXPECT_EQ(frmAbout::SharedInstance()->windowTitle(), QStringLiteral("About Tessaly"));
    EXPECT_EQ(Control<QLabel>("lblTitle")->text(), QStringLiteral("Tessaly"));
    EXPECT_EQ(OpenAboutBoxes(), 1);
}

TEST_F(AboutTest, EnterEscapeAndTheCloseBoxAllUnload)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout::ShowShared();
        QPointer<frmAbout> about = frmAbout::SharedInstance();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
        EXPECT_TRUE(Control<QPushButton>("cmdOK")->isDefault());
        QTest::keyClick(about, key);
        Unload();
        EXPECT_TRUE(about.isNull()) << key;
    }
    frmAbout::ShowShared();
    QPointer<frmAbout> about = frmAbout::SharedInstance();
    about->close();
    Unload();
    EXPECT_TRUE(about.isNull());
}
