#pragma once

// An SVG drawn into a transparent image of a given size, antialiased: the one way the program
// and its build tools turn artwork into pixels.

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace tessaly {

inline QImage RenderSvg(QSvgRenderer& renderer, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

} // namespace tessaly
