#include "shell/qt/DialogControls.h"

#include "common/qt/DialogFont.h"
#include "common/qt/QtTwips.h"

#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace tessaly {

namespace {

constexpr char kInstructions[] = "Specify the format of the status display:\n   %A - Artist\n"
                                 "   %L - Album\n   %T - Title\nex. %L: %A - %T\n";

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

void Place(QWidget* w, const TwipsBox& box)
{
    w->setGeometry(TwipsQRect(box.left, box.top, box.width, box.height));
}

void NameAndFont(QWidget* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setFont(DialogFont(false));
}

QGroupBox* NewFrame(QWidget* parent, const char* name, const QString& caption, const TwipsBox& box)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFont(DialogFont(true));
    Place(frame, box);
    return frame;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, const TwipsBox& box,
                 Qt::Alignment align)
{
    auto* label = Named(new QLabel(caption, parent), name);
    label->setAlignment(align | Qt::AlignTop);
    Place(label, box);
    return label;
}

void SetBackground(QWidget* w, QPalette::ColorRole role)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, palette.color(role));
    w->setPalette(palette);
}

QLineEdit* NewTextBox(QWidget* parent, const char* name, const QString& text, bool readOnly,
                      const TwipsBox& place)
{
    auto* box = Named(new QLineEdit(text, parent), name);
    box->setReadOnly(readOnly);
    if (readOnly)
        SetBackground(box, QPalette::Light);
    Place(box, place);
    return box;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption,
                       const TwipsBox& place)
{
    auto* box = Named(new ToggleCheckBox(caption, parent), name);
    box->setLayoutDirection(Qt::RightToLeft);
    Place(box, place);
    return box;
}

QTextEdit* NewInstructions(QWidget* parent, const TwipsBox& place)
{
    auto* box = Named(new QTextEdit(parent), "txtInstructions");
    box->setAcceptRichText(false);
    box->setPlainText(QString::fromLatin1(kInstructions));
    box->setFrameShape(QFrame::NoFrame);
    // Five lines fill the box, as they do in the dialog font; substitutes run taller.
    box->document()->setDocumentMargin(0);
    QTextCursor all(box->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat lines;
    lines.setLineHeight(TwipsToPixels(1050) / 5.0, QTextBlockFormat::FixedHeight);
    all.mergeBlockFormat(lines);
    box->setTabChangesFocus(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBackground(box, QPalette::Button);
    Place(box, place);
    return box;
}

} // namespace tessaly
