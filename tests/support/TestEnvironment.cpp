#include "support/TestEnvironment.h"

#include <QDir>
#include <QStandardPaths>

namespace tessaly::test {

ScopedEnv::~ScopedEnv()
{
    for (const auto& [name, value] : saved_) {
        if (value.first)
            qputenv(name.constData(), value.second);
        else
            qunsetenv(name.constData());
    }
}

void ScopedEnv::remember(const char* name)
{
    if (!saved_.count(name))
        saved_[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
}

void ScopedEnv::set(const char* name, const QByteArray& value)
{
    remember(name);
    qputenv(name, value);
}

void ScopedEnv::unset(const char* name)
{
    remember(name);
    qunsetenv(name);
}

TempHome::TempHome() : path_(dir_.path())
{
    QDir().mkpath(configHome());
    QDir().mkpath(dataHome());
    env_.set("HOME", path_.toUtf8());
    env_.set("XDG_CONFIG_HOME", configHome().toUtf8());
    env_.set("XDG_DATA_HOME", dataHome().toUtf8());
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace tessaly::test
