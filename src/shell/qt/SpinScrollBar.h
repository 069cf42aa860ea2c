#pragma once

// A small vertical scroll bar used as a spin control: the upper arrow raises the value, the lower
// one lowers it, one per click or page. Change is emitted synchronously for every new value (an
// arrow click, a value set by code, the end of a drag), never while a drag is under way.

#include <QScrollBar>

namespace tessaly {

class SpinScrollBar : public QScrollBar {
    Q_OBJECT
public:
    SpinScrollBar(int minimum, int maximum, int initial, QWidget* parent = nullptr);

    // The value in spin terms (maximum at the top).
    int Value() const;
    void SetValue(int value);

Q_SIGNALS:
    void Change(int value);

private:
    // Qt's vertical scroll bar grows downwards; the spin value is its mirror image.
    int Mirror(int value) const { return minimum() + maximum() - value; }
};

} // namespace tessaly
