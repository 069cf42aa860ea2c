// How a popup label lays its caption out when its window renders it: aligned as designed, wrapped
// at its width, and clipped to its box so that a long caption never spills over the next row.

#include "popup/qt/AlertControls.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QImage>
#include <QWidget>

namespace {

using tessaly::AlertLabel;

// The box holding every pixel the label drew on a transparent picture larger than itself, rendered
// as a popup renders its content.
QRect InkOf(AlertLabel& label, QSize canvas)
{
    label.SetDrawnByWindow(true);
    QImage picture(canvas, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    label.RenderInto(&picture, QPoint(0, 0));
    QRect ink;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 0)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(AlertLabel, DrawsItsCaptionAlignedWithinItsBox)
{
    const struct {
        Qt::Alignment alignment;
        const char* name;
    } cases[] = {{Qt::AlignLeft, "left"}, {Qt::AlignHCenter, "centre"}, {Qt::AlignRight, "right"}};
    for (const auto& c : cases) {
        QWidget window;
        AlertLabel label(&window, QStringLiteral("Artist:"), c.alignment);
        label.setGeometry(0, 0, 160, 20);
        const QRect ink = InkOf(label, QSize(200, 40));
        ASSERT_FALSE(ink.isEmpty()) << c.name;
        const int leftGap = ink.left();
        const int rightGap = label.width() - 1 - ink.right();
        if (c.alignment == Qt::AlignLeft)
            EXPECT_LT(leftGap, 3) << c.name;
        else if (c.alignment == Qt::AlignRight)
            EXPECT_LT(rightGap, 3) << c.name;
        else
            EXPECT_LE(std::abs(leftGap - rightGap), 3) << c.name;
    }
}

TEST(AlertLabel, ALongCaptionWrapsAtItsWidthAndIsClippedToItsBox)
{
    QWidget window;
    AlertLabel label(&window,
                     QStringLiteral("A very long album name that goes on over many lines, far "
                                    "more than the box can show"),
                     Qt::AlignLeft);
    label.setGeometry(0, 0, 120, 40);
    const QRect ink = InkOf(label, QSize(400, 200));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.right(), 119);
    EXPECT_LE(ink.bottom(), 39);
    // Wrapped: the second line is drawn inside the box.
    EXPECT_GT(ink.bottom(), 20);
}

TEST(AlertLabel, AnEmptyCaptionDrawsNothing)
{
    QWidget window;
    AlertLabel label(&window, QString(), Qt::AlignLeft);
    label.setGeometry(0, 0, 120, 40);
    EXPECT_TRUE(InkOf(label, QSize(120, 40)).isEmpty());
}

} // namespace
