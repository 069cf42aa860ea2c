#include "popup/qt/AlertControls.h"

#include "popup/qt/MnemonicRichText.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>

namespace tessaly {

AlertControl::AlertControl(QWidget* parent) : QWidget(parent)
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
    QWidget::setVisible(visible);
    if (wasHidden != isHidden())
        Q_EMIT ContentChanged();
}

void AlertControl::paintEvent(QPaintEvent* event)
{
    if (drawnByWindow_ && !rendering_)
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    Draw(painter);
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
    : AlertControl(parent), caption_(caption), alignment_(horizontal | Qt::AlignTop)
{}

void AlertLabel::SetCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    Q_EMIT ContentChanged();
}

QString AlertLabel::RichText() const
{
    return MnemonicRichText(caption_);
}

// Lays the caption out as a word-wrapped rich-text label of the control's width would, from the
// top; what does not fit is clipped with the widget.
void AlertLabel::Draw(QPainter& painter)
{
    if (caption_.isEmpty())
        return;
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    document.setDefaultFont(font());
    document.setHtml(RichText());
    QTextOption option = document.defaultTextOption();
    option.setAlignment(alignment_);
    option.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(option);
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setMargin(0);
    document.rootFrame()->setFrameFormat(frame);
    document.setTextWidth(width());

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.palette.setColor(QPalette::Text, palette().color(foregroundRole()));
    document.documentLayout()->draw(&painter, context);
}

AlertImage::AlertImage(QWidget* parent) : AlertControl(parent) {}

void AlertImage::SetPicture(const QPixmap& picture)
{
    // The hover handlers set the same picture at every pointer move.
    if (picture.cacheKey() == picture_.cacheKey())
        return;
    picture_ = picture;
    Q_EMIT ContentChanged();
}

void AlertImage::Draw(QPainter& painter)
{
    painter.drawPixmap(0, 0, picture_);
}

} // namespace tessaly
