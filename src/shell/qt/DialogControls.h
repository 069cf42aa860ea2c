#pragma once

// The standard controls of the configuration window, made the way its design draws them: named,
// in the dialog font, placed in twips.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

class QTextEdit;

namespace tessaly {

// Where a control stands within its parent, in twips.
struct TwipsBox {
    int left;
    int top;
    int width;
    int height;
};

// Sets the geometry from twips.
void Place(QWidget* w, const TwipsBox& box);

void NameAndFont(QWidget* w, const char* name);

// Names a control and gives it the dialog font (frames are bold, their controls are not).
template <typename W> W* Named(W* w, const char* name)
{
    NameAndFont(w, name);
    return w;
}

QGroupBox* NewFrame(QWidget* parent, const char* name, const QString& caption, const TwipsBox& box);
QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, const TwipsBox& box,
                 Qt::Alignment align = Qt::AlignLeft);
// Read-only boxes have the 3D-light colour as background.
QLineEdit* NewTextBox(QWidget* parent, const char* name, const QString& text, bool readOnly,
                      const TwipsBox& box);
// A check box whose box stands to the right of its caption; a click toggles between clear and
// ticked, grey comes only from a stored value.
QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption,
                       const TwipsBox& box);
void SetBackground(QWidget* w, QPalette::ColorRole role);
// txtInstructions: the borderless help text on the button face, five lines filling its box.
QTextEdit* NewInstructions(QWidget* parent, const TwipsBox& place);

} // namespace tessaly
