#pragma once

// A throw-away home for one test: XDG_CONFIG_HOME and XDG_DATA_HOME point into a temporary
// folder, so settings, the registry hive and the playlist never touch the user's files.

#include <map>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tessaly::test {

class ScopedEnv {
public:
    ScopedEnv() = default;
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    void set(const char* name, const QByteArray& value);
    void unset(const char* name);

private:
    void remember(const char* name);
    std::map<QByteArray, std::pair<bool, QByteArray>> saved_;
};

class TempHome {
public:
    TempHome();
    const QString& path() const { return path_; }
    QString configHome() const { return path_ + QStringLiteral("/config"); }
    QString dataHome() const { return path_ + QStringLiteral("/data"); }

private:
    QTemporaryDir dir_;
    QString path_;
    ScopedEnv env_;
};

} // namespace tessaly::test
