#pragma once

// A window of a class, as the other side of DBusWindowMessages sees it: exports the window
// object and owns (or queues for) the class's bus name. While another process owns the name,
// FindWindowA does not return this window.

#include <cstdint>
#include <functional>
#include <optional>
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <string>

namespace tessaly {

class DBusWindow : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tessaly.Window")

public:
    // The window's result for a message; nullopt leaves the sender waiting (a window that hangs).
    using Handler = std::function<std::optional<std::int64_t>(
        std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam)>;
    enum class Registration { Owner, Queued, Failed };

    DBusWindow(QDBusConnection bus, std::string className, Handler handler,
               QObject* parent = nullptr);
    ~DBusWindow() override;

    // Exports the object and asks for the class's name, queueing behind a current owner.
    Registration registerWindow();
    bool ownsName() const;

public Q_SLOTS:
    Q_SCRIPTABLE qlonglong SendMessage(uint msg, qulonglong wParam, qlonglong lParam);

Q_SIGNALS:
    // The class's name came to this window (at once, or after queueing).
    void nameAcquired();

private Q_SLOTS:
    void onNameAcquired(const QString& name);

private:
    QDBusConnection bus_;
    QString busName_;
    Handler handler_;
};

} // namespace tessaly
