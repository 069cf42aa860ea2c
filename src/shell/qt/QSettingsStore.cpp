#include "shell/qt/QSettingsStore.h"

#include "common/linux/XdgPaths.h"
#include "common/qt/Logging.h"
#include "common/qt/QtText.h"

#include <QSettings>
#include <QStringList>

namespace tessaly {

namespace {

constexpr auto kGroup = "Settings";

class QSettingsStore : public SettingsStore {
public:
    explicit QSettingsStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings))
    {
        settings_->beginGroup(QLatin1String(kGroup));
    }

    std::u16string read(std::u16string_view key, std::u16string_view defaultValue) const override
    {
        const QVariant value = settings_->value(ToQString(key));
        if (!value.isValid())
            return std::u16string(defaultValue);
        // An unquoted value with commas, as a hand edit may leave it, reads back as a list.
        if (value.userType() == QMetaType::QStringList)
            return ToU16(value.toStringList().join(QStringLiteral(", ")));
        return ToU16(value.toString());
    }

    void write(std::u16string_view key, std::u16string_view text) override
    {
        settings_->setValue(ToQString(key), ToQString(text));
        settings_->sync();
        if (settings_->status() != QSettings::NoError)
            qCWarning(lcShell) << "could not save setting" << ToQString(key) << "to"
                               << settings_->fileName();
    }

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace

std::unique_ptr<SettingsStore> OpenSettingsStore()
{
    const QString path =
        QString::fromStdString(XdgConfigHome()) + QStringLiteral("/Tessaly/Tessaly.ini");
    return std::make_unique<QSettingsStore>(
        std::make_unique<QSettings>(path, QSettings::IniFormat));
}

} // namespace tessaly
