#include "shell/qt/SpinScrollBar.h"

namespace tessaly {

SpinScrollBar::SpinScrollBar(int minimum, int maximum, int initial, QWidget* parent)
    : QScrollBar(Qt::Vertical, parent)
{
    setRange(minimum, maximum);
    setSingleStep(1);
    setPageStep(1);
    setTracking(false);
    // Keys and the wheel follow the arrows: Up raises.
    setInvertedControls(true);
    setFocusPolicy(Qt::StrongFocus);
    setValue(Mirror(initial));
    connect(this, &QAbstractSlider::valueChanged, this,
            [this](int raw) { Q_EMIT Change(Mirror(raw)); });
}

int SpinScrollBar::Value() const
{
    return Mirror(value());
}

void SpinScrollBar::SetValue(int value)
{
    setValue(Mirror(value));
}

} // namespace tessaly
