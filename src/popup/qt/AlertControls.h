#pragma once

// The popup's lightweight controls. Each takes the pointer movement over it for itself, so that
// the window's own handler runs only over the bare window, and reports a click as press and
// release of the left button inside it.
//
// A control whose window draws it from a picture of the window's content (SetDrawnByWindow) paints
// nothing in its own paint events, and tells the window through ContentChanged whenever what it
// shows changes, so the window can render that picture again.
//
// The controls are plain widgets that draw what they show when asked, and keep nothing for it in
// between: a popup is rendered once per change of its content, and a label keeping a laid-out
// text document for all of its life cost each popup about a thousand small blocks of heap, which
// were left scattered over the heap's pages after a burst of popups.

#include <QPixmap>
#include <QWidget>

class QPainter;

namespace tessaly {

class AlertControl : public QWidget {
    Q_OBJECT
public:
    explicit AlertControl(QWidget* parent);

    void SetDrawnByWindow(bool drawnByWindow) { drawnByWindow_ = drawnByWindow; }
    // Draws the control at `at` on the painter's device, whether or not its window draws it.
    void RenderInto(QPaintDevice* target, QPoint at);

    void setVisible(bool visible) override;
    // A press whose release never came (the window hid in between) makes no click later.
    void ForgetPress() { pressed_ = false; }

Q_SIGNALS:
    void Click();
    void MouseMove();
    void ContentChanged();

protected:
    virtual void Draw(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
    bool drawnByWindow_ = false;
    bool rendering_ = false;
};

// A label whose caption marks access keys with "&" (see popup/Mnemonic.h); it wraps within its
// size, draws from its top, and clips what does not fit.
class AlertLabel : public AlertControl {
    Q_OBJECT
public:
    AlertLabel(QWidget* parent, const QString& caption, Qt::Alignment horizontal);

    // The caption as written, "&" markers included.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The rich text the caption is drawn from.
    QString RichText() const;

protected:
    void Draw(QPainter& painter) override;

private:
    QString caption_;
    Qt::Alignment alignment_;
};

// An image control: shows one picture at its top-left corner.
class AlertImage : public AlertControl {
    Q_OBJECT
public:
    explicit AlertImage(QWidget* parent);

    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);

protected:
    void Draw(QPainter& painter) override;

private:
    QPixmap picture_;
};

} // namespace tessaly
