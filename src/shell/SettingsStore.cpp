#include "shell/SettingsStore.h"

#include "shell/Logging.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace tessaly {

namespace {

constexpr auto kGroup = "Settings";

// Where the store lives, decided from the environment each time it is opened so that a test
// (or a user) can move it with XDG_CONFIG_HOME.
QString IniPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            home = QDir::homePath();
        base = home + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/Tessaly/Tessaly.ini");
}

class QSettingsStore : public SettingsStore {
public:
    explicit QSettingsStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings))
    {
        settings_->beginGroup(QLatin1String(kGroup));
    }

    QString read(const QString& key, const QString& defaultValue) const override
    {
        const QVariant value = settings_->value(key);
        if (!value.isValid())
            return defaultValue;
        // An unquoted value with commas, as a hand edit may leave it, reads back as a list.
        if (value.userType() == QMetaType::QStringList)
            return value.toStringList().join(QStringLiteral(", "));
        return value.toString();
    }

    void write(const QString& key, const QString& text) override
    {
        settings_->setValue(key, text);
        settings_->sync();
        if (settings_->status() != QSettings::NoError)
            qCWarning(lcShell) << "could not save setting" << key << "to" << settings_->fileName();
    }

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace

std::unique_ptr<SettingsStore> OpenSettingsStore()
{
#ifdef Q_OS_WIN
    // The key the program has always used, so existing users keep their settings.
    auto settings = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Tessaly"),
        QSettings::NativeFormat);
#else
    auto settings = std::make_unique<QSettings>(IniPath(), QSettings::IniFormat);
#endif
    return std::make_unique<QSettingsStore>(std::move(settings));
}

QString MemorySettingsStore::read(const QString& key, const QString& defaultValue) const
{
    const auto it = values_.find(key);
    return it == values_.end() ? defaultValue : it->second;
}

void MemorySettingsStore::write(const QString& key, const QString& text)
{
    values_[key] = text;
}

} // namespace tessaly
