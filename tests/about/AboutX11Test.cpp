// The About box under a real window manager: stacking, taskbar, and a screenshot.

#include "about/qt/frmAbout.h"
#include "shell/tray/X11Helpers.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace x11 = tessaly::test::x11;

namespace {

class AboutX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!x11::OnX11())
            GTEST_SKIP() << "needs an X display";
    }
    void TearDown() override
    {
        if (frmAbout* about = frmAbout::SharedInstance())
            about->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

TEST_F(AboutX11Test, StaysAboveTheMainWindowAndHasNoTaskbarEntry)
{
    QWidget main;
    main.setWindowTitle(QStringLiteral("Tessaly"));
    main.setGeometry(100, 100, 600, 400);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    // The program's icon, as the program sets it for all its windows.
    QApplication::setWindowIcon(QIcon(QStringLiteral(TESSALY_ICON_SVG)));
    frmAbout::ShowShared();
    frmAbout* about = frmAbout::SharedInstance();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    ASSERT_TRUE(x11::WaitUntil([about] {
        return x11::NetWmState(about->winId()).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
    })) << x11::NetWmState(about->winId()).join(u' ').toStdString();

    // The main window taking focus does not bring it above the About box.
    main.raise();
    main.activateWindow();
    x11::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(x11::NetWmState(about->winId()).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));

    // A dialog without owner is transient for the program's group leader: taskbars leave it out.
    const auto transient =
        x11::Run(QStringLiteral("xprop"),
                 {QStringLiteral("-id"), QString::number(about->winId()),
                  QStringLiteral("WM_TRANSIENT_FOR"), QStringLiteral("_NET_WM_WINDOW_TYPE")});
    ASSERT_TRUE(transient.has_value());
    EXPECT_TRUE(transient->contains(QLatin1String("window id #"))) << transient->toStdString();
    EXPECT_TRUE(transient->contains(QLatin1String("_NET_WM_WINDOW_TYPE_DIALOG")));

    // Fixed size: the window manager is told min = max.
    const auto hints =
        x11::Run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(about->winId()),
                                           QStringLiteral("WM_NORMAL_HINTS")});
    ASSERT_TRUE(hints.has_value());
    EXPECT_TRUE(hints->contains(QLatin1String("minimum size: 382 by 248"))) << hints->toStdString();
    EXPECT_TRUE(hints->contains(QLatin1String("maximum size: 382 by 248")));

    x11::WaitUntil([] { return false; }, 200);
    const QRect frame = about->frameGeometry().adjusted(-12, -12, 12, 12);
    EXPECT_FALSE(x11::SaveScreenshot(QStringLiteral("about-box"), frame).isEmpty());
}

TEST_F(AboutX11Test, OkClickedWithThePointerClosesIt)
{
    frmAbout::ShowShared();
    QPointer<frmAbout> about = frmAbout::SharedInstance();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    x11::WaitUntil([] { return false; }, 300);
    auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    ASSERT_TRUE(x11::ClickAt(ok->mapToGlobal(ok->rect().center()), 1));
    EXPECT_TRUE(x11::WaitUntil([&] { return about.isNull(); }));
}
