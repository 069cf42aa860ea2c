// tessaly-messenger-standin: stands in for Yahoo Messenger's main window, so that the status
// Tessaly publishes can be seen without the Messenger.

#include "Messenger.h"
#include "publisher/linux/DBusWindow.h"
#include "publisher/Yahoo.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr const char* kDescription =
    "Stands in for Yahoo Messenger: signs in as a user and owns the window class\n"
    "\"YahooBuddyMain\" on the D-Bus session bus. On command 376 it loads custom message \"1\"\n"
    "of its profile, on 388 it takes it as its status and prints \"status: <text>\".\n"
    "\n"
    "Lines on stdout (each flushed):\n"
    "  ready            the window class is ours; commands reach this instance\n"
    "  queued           another instance owns the class; \"ready\" follows when it leaves\n"
    "  status: <text>   the status taken up on command 388\n"
    "Errors go to stderr; the exit code is 1 when the window cannot be set up.";

void printLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool wantsWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0)
            return true;
    }
    return false;
}

// The small window of --window: the user and the current status.
class StatusWindow : public QWidget {
public:
    explicit StatusWindow(const QString& user)
    {
        setWindowTitle(QStringLiteral("Messenger stand-in: %1").arg(user));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Signed in as %1").arg(user), this));
        status_ = new QLabel(QStringLiteral("(no status yet)"), this);
        status_->setObjectName(QStringLiteral("lblStatus"));
        status_->setTextFormat(Qt::PlainText);
        layout->addWidget(status_);
        resize(360, 80);
    }
    void showStatus(const QString& status) { status_->setText(status); }

private:
    QLabel* status_;
};

} // namespace

int main(int argc, char** argv)
{
    const bool window = wantsWindow(argc, argv);
    std::unique_ptr<QCoreApplication> app;
    if (window)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaly-messenger-standin"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    const QCommandLineOption userOption(
        QStringLiteral("user"),
        QStringLiteral("Sign in as NAME: stores it as \"Yahoo! user id\". Without it the id "
                       "already stored is used."),
        QStringLiteral("NAME"));
    const QCommandLineOption hangOption(QStringLiteral("hang"),
                                        QStringLiteral("Never answer a command (for tests)."));
    const QCommandLineOption windowOption(
        QStringLiteral("window"), QStringLiteral("Also show the status in a small window."));
    parser.addOptions({userOption, hangOption, windowOption});
    parser.process(*app);

    tessaly::Messenger messenger;
    if (parser.isSet(userOption)) {
        const QString user = parser.value(userOption);
        if (user.isEmpty()) {
            std::fputs("tessaly-messenger-standin: --user needs a non-empty NAME\n", stderr);
            return 1;
        }
        if (!messenger.signIn(user.toStdU16String()))
            std::fputs("tessaly-messenger-standin: could not store the user id\n", stderr);
    } else if (!messenger.signInAsStored()) {
        std::fputs("tessaly-messenger-standin: no user id stored; pass --user NAME\n", stderr);
        return 1;
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "tessaly-messenger-standin: no D-Bus session bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }

    const bool hang = parser.isSet(hangOption);
    tessaly::DBusWindow busWindow(bus, tessaly::yahoo::kMainWindowClass,
                                  [&](std::uint32_t msg, std::uint64_t wParam,
                                      std::int64_t lParam) -> std::optional<std::int64_t> {
                                      if (hang)
                                          return std::nullopt;
                                      return messenger.handleMessage(msg, wParam, lParam);
                                  });

    std::unique_ptr<StatusWindow> statusWindow;
    if (window) {
        statusWindow =
            std::make_unique<StatusWindow>(QString::fromStdU16String(messenger.userId()));
        statusWindow->show();
    }
    QObject::connect(&messenger, &tessaly::Messenger::statusTaken, [&](const QString& status) {
        printLine("status: " + messenger.ansi().FromUnicode(status.toStdU16String()));
        if (statusWindow)
            statusWindow->showStatus(status);
    });

    bool ready = false;
    const auto announceReady = [&] {
        if (!ready) {
            ready = true;
            printLine("ready");
        }
    };
    QObject::connect(&busWindow, &tessaly::DBusWindow::nameAcquired, announceReady);
    switch (busWindow.registerWindow()) {
    case tessaly::DBusWindow::Registration::Owner:
        announceReady();
        break;
    case tessaly::DBusWindow::Registration::Queued:
        printLine("queued");
        break;
    case tessaly::DBusWindow::Registration::Failed:
        std::fprintf(stderr, "tessaly-messenger-standin: cannot register window class %s: %s\n",
                     tessaly::yahoo::kMainWindowClass, qPrintable(bus.lastError().message()));
        return 1;
    }
    return app->exec();
}
