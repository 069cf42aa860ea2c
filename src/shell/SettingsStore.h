#pragma once

// The per-user settings store: named text values under application "Tessaly", section "Settings".

#include <QString>
#include <map>
#include <memory>

namespace tessaly {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text of key, or defaultValue when the key is absent.
    virtual QString read(const QString& key, const QString& defaultValue) const = 0;
    // Creates or replaces the value; on disk before this returns.
    virtual void write(const QString& key, const QString& text) = 0;
};

// The platform's store: on Linux $XDG_CONFIG_HOME/Tessaly/Tessaly.ini, group [Settings].
std::unique_ptr<SettingsStore> OpenSettingsStore();

// A store in memory, for tests and for tools that must not touch the user's settings.
class MemorySettingsStore : public SettingsStore {
public:
    QString read(const QString& key, const QString& defaultValue) const override;
    void write(const QString& key, const QString& text) override;
    const std::map<QString, QString>& values() const { return values_; }

private:
    std::map<QString, QString> values_;
};

} // namespace tessaly
