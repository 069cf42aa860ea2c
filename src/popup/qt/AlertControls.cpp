#include "popup/qt/AlertControls.h"

#include "popup/qt/MnemonicRichText.h"

#include <QMouseEvent>

namespace tessaly {

AlertControl::AlertControl(QWidget* parent) : QLabel(parent)
{
    setMouseTracking(true);
}

void AlertControl::RenderInto(QPaintDevice* target, QPoint at)
{
    rendering_ = true;
    render(target, at, QRegion(), QWidget::RenderFlags());
    rendering_ = false;
}

void AlertControl::setVisible(bool visible)
{
    const bool wasHidden = isHidden();
    QLabel::setVisible(visible);
    if (wasHidden != isHidden())
        Q_EMIT ContentChanged();
}

void AlertControl::paintEvent(QPaintEvent* event)
{
    if (!drawnByWindow_ || rendering_)
        QLabel::paintEvent(event);
}

void AlertControl::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT MouseMove();
}

void AlertControl::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    pressed_ = event->button() == Qt::LeftButton;
}

void AlertControl::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        Q_EMIT Click();
}

AlertLabel::AlertLabel(QWidget* parent, const QString& caption, Qt::Alignment horizontal)
    : AlertControl(parent)
{
    setTextFormat(Qt::RichText);
    setWordWrap(true);
    setAlignment(horizontal | Qt::AlignTop);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setContentsMargins(0, 0, 0, 0);
    setIndent(0);
    setMargin(0);
    SetCaption(caption);
}

void AlertLabel::SetCaption(const QString& caption)
{
    if (caption == caption_ && !text().isEmpty())
        return;
    caption_ = caption;
    setText(MnemonicRichText(caption));
    Q_EMIT ContentChanged();
}

AlertImage::AlertImage(QWidget* parent) : AlertControl(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void AlertImage::SetPicture(const QPixmap& picture)
{
    // The hover handlers set the same picture at every pointer move.
    if (picture.cacheKey() == picture_.cacheKey())
        return;
    picture_ = picture;
    setPixmap(picture);
    Q_EMIT ContentChanged();
}

} // namespace tessaly
