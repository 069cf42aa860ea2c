#include "shell/qt/ProcessLifetime.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace tessaly {

ProcessLifetime::ProcessLifetime(Quit quit, QStringList windowNames, QObject* parent)
    : QObject(parent), quit_(std::move(quit)), windowNames_(std::move(windowNames))
{}

ProcessLifetime::~ProcessLifetime()
{
    if (armed_ && qApp)
        qApp->removeEventFilter(this);
}

ProcessLifetime::Quit ProcessLifetime::DefaultQuit()
{
    return [] {
        QCoreApplication::quit();
    };
}

void ProcessLifetime::EndWhenNoWindowLeft()
{
    if (armed_ || !qApp)
        return;
    armed_ = true;
    qApp->installEventFilter(this);
    ScheduleCheck();
}

bool ProcessLifetime::AnyWindowLeft() const
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [this](const QWidget* w) {
        return w->isVisible() && windowNames_.contains(w->objectName());
    });
}

bool ProcessLifetime::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Hide || type == QEvent::Close || type == QEvent::DeferredDelete) {
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            ScheduleCheck();
    }
    return QObject::eventFilter(watched, event);
}

void ProcessLifetime::ScheduleCheck()
{
    if (checkPending_ || done_)
        return;
    checkPending_ = true;
    // After the event at hand: a closing window is still visible while its own events run.
    QTimer::singleShot(0, this, [this] {
        checkPending_ = false;
        Check();
    });
}

void ProcessLifetime::Check()
{
    if (done_ || AnyWindowLeft())
        return;
    done_ = true;
    qApp->removeEventFilter(this);
    quit_();
}

} // namespace tessaly
