#pragma once

// A stand-in for Pidgin on a private bus: libpurple's saved-status methods with their real
// signatures (as Pidgin 2.14 introspects them), a few saved statuses, and a log of every call.
// It lives on a thread of its own, so that a test may call it synchronously from the main thread.

#include <map>
#include <mutex>
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QThread>

namespace tessaly::test {

class FakePurple : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "im.pidgin.purple.PurpleInterface")

public:
    enum class Mode { Answer, Fail, Hang };
    struct SavedStatus {
        QString title; // empty: transient
        int type = 0;
        QString message;
    };

    static constexpr int kAvailable = 2;
    static constexpr int kAway = 5;

    FakePurple();
    ~FakePurple() override;

    // Exports the object on its own connection and owns Pidgin's name; false when that failed.
    bool start(const QString& busAddress);
    // Gives up the name, as a Pidgin that quits does; start() takes it again.
    void stop();

    // Adds a saved status and makes it the current one; answers its id.
    int activate(const SavedStatus& status);
    void setMode(Mode mode);

    QStringList calls() const;
    void clearCalls();
    SavedStatus status(int id) const;
    int current() const;
    // Pidgin's own away-while-idle state.
    void setIdleAway(bool idle);

public Q_SLOTS:
    int PurpleSavedstatusGetCurrent();
    int PurpleSavedstatusIsIdleaway();
    int PurpleSavedstatusGetType(int status);
    int PurpleSavedstatusFindTransientByTypeAndMessage(int type, const QString& message);
    int PurpleSavedstatusNew(const QString& title, int type);
    void PurpleSavedstatusSetMessage(int status, const QString& message);
    void PurpleSavedstatusActivate(int status);

private:
    // Logs the call; false when the mode says not to answer it normally.
    bool enter(const QString& call);
    bool known(int id);

    QThread thread_;
    QString connectionName_;
    mutable std::mutex mutex_;
    Mode mode_ = Mode::Answer;
    QStringList calls_;
    std::map<int, SavedStatus> statuses_;
    int current_ = 0;
    bool idleAway_ = false;
    int nextId_ = 100;
};

} // namespace tessaly::test
