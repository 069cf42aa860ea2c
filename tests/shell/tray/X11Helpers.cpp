#include "shell/tray/X11Helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>

namespace tessaly::test::x11 {

bool OnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return true;
}

std::optional<QString> Run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return std::nullopt;
    WaitUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QStringList NetWmState(WId window)
{
    const QString out =
        Run(QStringLiteral("xprop"),
            {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_STATE")})
            .value_or(QString());
    return out.section(u'=', 1)
        .split(u',', Qt::SkipEmptyParts)
        .replaceInStrings(QRegularExpression(QStringLiteral("\\s")), QString());
}

bool IsViewable(WId window)
{
    if (!window)
        return false;
    const auto out =
        Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    return out && out->contains(QLatin1String("IsViewable"));
}

QList<WId> ClientList()
{
    const QString out =
        Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")})
            .value_or(QString());
    QList<WId> windows;
    static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
    for (auto it = hex.globalMatch(out); it.hasNext();)
        windows.append(it.next().captured().toULongLong(nullptr, 16));
    return windows;
}

QString ArtifactsDir()
{
    QString dir = qEnvironmentVariable("TESSALY_ARTIFACTS_DIR");
    if (dir.isEmpty())
        dir = QStringLiteral(TESSALY_BUILD_DIR "/test-artifacts");
    QDir().mkpath(dir);
    return dir;
}

QString SaveScreenshot(const QString& name, const QRect& area)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    QPixmap shot = area.isValid()
                       ? screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                       : screen->grabWindow(0);
    const QString path = ArtifactsDir() + u'/' + name + QStringLiteral(".png");
    return shot.save(path) ? path : QString();
}

bool ClickAt(const QPoint& global, int button, int repeat)
{
    // One xdotool run for move and click, and it stays a moment afterwards: this Xvfb puts the
    // pointer back in the middle of the screen as soon as the XTest client disconnects, and a
    // handler that asks where the pointer is must still find it over the icon. (No --sync
    // either: it waits forever when the pointer is already in place.)
    return Run(QStringLiteral("xdotool"),
               {QStringLiteral("mousemove"), QString::number(global.x()),
                QString::number(global.y()), QStringLiteral("sleep"), QStringLiteral("0.15"),
                QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat),
                QStringLiteral("--delay"), QStringLiteral("120"), QString::number(button),
                QStringLiteral("sleep"), QStringLiteral("0.5")})
        .has_value();
}

} // namespace tessaly::test::x11
