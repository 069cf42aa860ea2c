#include "popup/qt/PopupArt.h"

#include "common/qt/Logging.h"

#include <cmath>
#include <map>
#include <QPainter>
#include <QSvgRenderer>

// The resources of a static library need an explicit initialisation, outside any namespace.
static void InitPopupResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(popup);
        return true;
    }();
    (void)done;
}

namespace tessaly {

namespace {

struct PictureSource {
    const char* path;
    QSize size;
};

PictureSource SourceOf(PopupPicture picture)
{
    switch (picture) {
    case PopupPicture::Background:
        return {":/popup/art/background.svg", {250, 117}};
    case PopupPicture::BackNormal:
        return {":/popup/art/back_normal.svg", {16, 16}};
    case PopupPicture::BackHover:
        return {":/popup/art/back_hover.svg", {16, 16}};
    case PopupPicture::PauseNormal:
        return {":/popup/art/pause_normal.svg", {21, 21}};
    case PopupPicture::PauseHover:
        return {":/popup/art/pause_hover.svg", {21, 21}};
    case PopupPicture::ForwardNormal:
        return {":/popup/art/forward_normal.svg", {16, 16}};
    case PopupPicture::ForwardHover:
        return {":/popup/art/forward_hover.svg", {16, 16}};
    case PopupPicture::CloseNormal:
        return {":/popup/art/close_normal.svg", {15, 16}};
    case PopupPicture::CloseHover:
        return {":/popup/art/close_hover.svg", {14, 15}};
    case PopupPicture::Pointer:
        return {":/popup/art/pointer.svg", {32, 32}};
    }
    return {"", {0, 0}};
}

} // namespace

QSize PopupPictureSize(PopupPicture picture)
{
    return SourceOf(picture).size;
}

QPixmap PopupPixmap(PopupPicture picture, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    // Every popup shows the same pictures: each is rendered once and shared.
    static std::map<std::pair<PopupPicture, qreal>, QPixmap> rendered;
    const auto key = std::make_pair(picture, ratio);
    if (const auto it = rendered.find(key); it != rendered.end())
        return it->second;
    InitPopupResources();
    const PictureSource source = SourceOf(picture);
    QPixmap pixmap(QSize(static_cast<int>(std::ceil(source.size.width() * ratio)),
                         static_cast<int>(std::ceil(source.size.height() * ratio))));
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QString::fromLatin1(source.path));
    if (!renderer.isValid()) {
        qCWarning(lcPopup) << "cannot read the popup picture" << source.path;
    } else {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixmap.size())));
    }
    pixmap.setDevicePixelRatio(ratio);
    rendered.emplace(key, pixmap);
    return pixmap;
}

QCursor PopupHandCursor(const QPixmap& pointer)
{
    // Hot spot in logical pixels of the 32 x 32 picture.
    return QCursor(pointer, 11, 1);
}

} // namespace tessaly
