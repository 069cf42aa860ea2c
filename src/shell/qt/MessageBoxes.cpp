#include "shell/qt/MessageBoxes.h"

#include "common/qt/QtText.h"
#include "shell/MainWindowView.h"

#include <QMessageBox>

namespace tessaly {

void ShowMissingPlayerBox()
{
    QMessageBox box(QMessageBox::Critical, ToQString(kMissingPlayerTitle),
                    ToQString(kMissingPlayerText), QMessageBox::Ok);
    box.exec();
}

bool QtQuitQuestion::AskShutdown()
{
    QMessageBox box(QMessageBox::NoIcon, ToQString(kQuitQuestionTitle),
                    ToQString(kQuitQuestionText), QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace tessaly
