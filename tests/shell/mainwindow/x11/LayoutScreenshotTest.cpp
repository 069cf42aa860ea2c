// The main window on a real X display: every control where the layout table puts it, the
// read-only boxes painted in their colour, and a screenshot kept as a test artifact.

#include "Fakes.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTest>

namespace tessaly::test {
namespace {

struct Placement {
    const char* name;
    const char* parent;
    int left, top, width, height; // twips
};

// Frames relative to the client area, controls relative to their frame.
constexpr Placement kLayout[] = {
    {"Frame1", "frmMain", 60, 75, 4170, 1215},
    {"lblArtist", "Frame1", 360, 270, 540, 255},
    {"txtArtist", "Frame1", 945, 240, 3060, 285},
    {"lblAlbum", "Frame1", 360, 540, 540, 255},
    {"txtAlbum", "Frame1", 945, 525, 3060, 285},
    {"lblTitle", "Frame1", 375, 825, 540, 225},
    {"txtTitle", "Frame1", 945, 810, 3060, 285},
    {"Frame2", "frmMain", 75, 1335, 4170, 1980},
    {"lblFormatString", "Frame2", 150, 1320, 1125, 285},
    {"txtFormatString", "Frame2", 1155, 1290, 2460, 300},
    {"txtInstructions", "Frame2", 270, 210, 3810, 1050},
    {"txtNowPlaying", "Frame2", 375, 1628, 3720, 285},
    {"Label3", "Frame2", 120, 1650, 300, 240},
    {"Frame3", "frmMain", 75, 3360, 4170, 900},
    {"chkShowBallons", "Frame3", 315, 255, 1755, 270},
    {"Label2", "Frame3", 1245, 555, 585, 210},
    {"txtOpacity", "Frame3", 1875, 525, 390, 285},
    {"VSOpacity", "Frame3", 2265, 525, 150, 270},
    {"Frame4", "frmMain", 90, 4245, 4140, 1335},
    {"chkStartMinimized", "Frame4", 600, 180, 1440, 270},
    {"lblMainOpacity", "Frame4", 1215, 495, 585, 210},
    {"txtMainOpacity", "Frame4", 1845, 465, 390, 285},
    {"VSMainOpacity", "Frame4", 2235, 465, 150, 270},
    {"chkPlaylist", "Frame4", 315, 750, 1725, 255},
    {"lblFileName", "Frame4", 1035, 1050, 810, 195},
    {"txtPlaylist", "Frame4", 1830, 1020, 1740, 270},
};

// 15 twips per pixel, each edge rounded on its own.
QRect Pixels(const Placement& p)
{
    const auto px = [](int twips) {
        return qRound(twips / 15.0);
    };
    return QRect(QPoint(px(p.left), px(p.top)),
                 QPoint(px(p.left + p.width) - 1, px(p.top + p.height) - 1));
}

QString ArtifactsDir()
{
    const QString dir = qEnvironmentVariableIsEmpty("TESSALY_ARTIFACTS_DIR")
                            ? QStringLiteral(TESSALY_DEFAULT_ARTIFACTS_DIR)
                            : qEnvironmentVariable("TESSALY_ARTIFACTS_DIR");
    QDir().mkpath(dir);
    return dir;
}

TEST(MainWindowOnX11, ControlsStandWhereTheTableSaysAndTheShotIsKept)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    MainWindowRig rig;
    frmMain& w = rig.Load();
    rig.Refresh("the example band", "Road Songs", "Night_Drive [Live]");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(300);

    EXPECT_EQ(w.geometry().size(), QSize(289, 377)); // client area 4335 x 5655 twips
    for (const Placement& p : kLayout) {
        SCOPED_TRACE(p.name);
        auto* control = w.findChild<QWidget*>(p.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), p.parent);
        EXPECT_EQ(control->geometry(), Pixels(p));
        EXPECT_TRUE(control->isVisible());
    }

    // What the X server shows: each empty read-only box in the 3D-light colour at its place.
    const QImage shot = w.screen()->grabWindow(w.winId()).toImage();
    ASSERT_EQ(shot.size(), QSize(289, 377));
    for (const char* name : {"txtArtist", "txtAlbum", "txtTitle"}) {
        SCOPED_TRACE(name);
        auto* box = w.findChild<QLineEdit*>(name);
        box->clear();
    }
    QTest::qWait(100);
    const QImage empty = w.screen()->grabWindow(w.winId()).toImage();
    for (const char* name : {"txtArtist", "txtAlbum", "txtTitle"}) {
        SCOPED_TRACE(name);
        auto* box = w.findChild<QLineEdit*>(name);
        const QPoint centre = box->mapTo(&w, box->rect().center());
        EXPECT_EQ(empty.pixelColor(centre).rgb(), box->palette().color(QPalette::Base).rgb());
    }

    const QString path = ArtifactsDir() + "/frmMain.png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

} // namespace
} // namespace tessaly::test
