#include "shell/qt/DialogControls.h"

#include "common/qt/DialogFont.h"
#include "common/qt/QtTwips.h"

namespace tessaly {

namespace {

class ToggleCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
    }
};

} // namespace

void Place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(TwipsQRect(left, top, width, height));
}

void NameAndFont(QWidget* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setFont(DialogFont(false));
}

QGroupBox* NewFrame(QWidget* parent, const char* name, const QString& caption)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFont(DialogFont(true));
    return frame;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, Qt::Alignment align)
{
    auto* label = Named(new QLabel(caption, parent), name);
    label->setAlignment(align | Qt::AlignTop);
    return label;
}

void SetBackground(QWidget* w, QPalette::ColorRole role)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, palette.color(role));
    w->setPalette(palette);
}

QLineEdit* NewTextBox(QWidget* parent, const char* name, const QString& text, bool readOnly)
{
    auto* box = Named(new QLineEdit(text, parent), name);
    box->setReadOnly(readOnly);
    if (readOnly)
        SetBackground(box, QPalette::Light);
    return box;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = Named(new ToggleCheckBox(caption, parent), name);
    box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

} // namespace tessaly
