// The program's two message boxes as Qt shows them: text, title, icon, buttons and default, and
// the answers they give back.

#include "shell/qt/MessageBoxes.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace tessaly {
namespace {

struct SeenBox {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Runs `show` and answers the modal box it opens once it shows, after noting how it looks.
void Answer(QMessageBox::StandardButton answer, SeenBox& seen, const std::function<void()>& show)
{
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                box->defaultButton() ? box->standardButton(box->defaultButton())
                                     : QMessageBox::NoButton};
        box->button(answer)->click();
    });
    poll.start();
    show();
}

bool AskAndAnswer(QMessageBox::StandardButton answer, SeenBox& seen)
{
    bool yes = false;
    Answer(answer, seen, [&] {
        QtQuitQuestion question;
        yes = question.AskShutdown();
    });
    return yes;
}

TEST(ShutdownQuestion, AsksYesOrNoWithYesAsDefault)
{
    SeenBox seen;
    EXPECT_TRUE(AskAndAnswer(QMessageBox::Yes, seen));
    EXPECT_EQ(seen.text, QStringLiteral("Itunes Closing, would you like Tessaly to shutdown?"));
    EXPECT_EQ(seen.title, QStringLiteral("Tessaly"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);
    EXPECT_FALSE(AskAndAnswer(QMessageBox::No, seen));
}

TEST(MissingPlayerBox, IsACriticalErrorWithOk)
{
    SeenBox seen;
    Answer(QMessageBox::Ok, seen, [] { ShowMissingPlayerBox(); });
    EXPECT_EQ(seen.title, QStringLiteral("Critcal Error"));
    EXPECT_EQ(seen.text, QStringLiteral("iTunes is not installed or improperly registered. Please "
                                        "install or repair your iTunes installation"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

} // namespace
} // namespace tessaly
