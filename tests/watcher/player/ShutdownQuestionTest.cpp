#include "watcher/PlayerEventHandlers.h"

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
    bool yesIsDefault = false;
};

// Answers the box once it shows, after noting how it looks.
bool Answer(QMessageBox::StandardButton answer, SeenBox& seen)
{
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                static_cast<QAbstractButton*>(box->defaultButton()) ==
                    box->button(QMessageBox::Yes)};
        box->button(answer)->click();
    });
    poll.start();
    return AskShutdownQuestion();
}

TEST(ShutdownQuestion, AsksYesOrNoWithYesAsDefault)
{
    SeenBox seen;
    EXPECT_TRUE(Answer(QMessageBox::Yes, seen));
    EXPECT_EQ(seen.text, QStringLiteral("Itunes Closing, would you like Tessaly to shutdown?"));
    EXPECT_EQ(seen.title, QStringLiteral("Tessaly"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(seen.yesIsDefault);
    EXPECT_FALSE(Answer(QMessageBox::No, seen));
}

} // namespace
} // namespace tessaly
