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
    explicit QSettingsStore(QString path) : path_(std::move(path)) { open(); }

    std::u16string read(std::u16string_view key, std::u16string_view defaultValue) const override
    {
        const QVariant value = settings_->value(ToQString(key));
        noteFormatError();
        if (!value.isValid())
            return std::u16string(defaultValue);
        // An unquoted value with commas, as a hand edit may leave it, reads back as a list.
        if (value.userType() == QMetaType::QStringList)
            return ToU16(value.toStringList().join(QStringLiteral(", ")));
        return ToU16(value.toString());
    }

    void write(std::u16string_view key, std::u16string_view text) override
    {
        const QString name = ToQString(key);
        const QString value = ToQString(text);
        // Every start writes each setting back; rewriting and syncing an unchanged file for each
        // would cost two disk flushes a setting.
        const QVariant stored = settings_->value(name);
        if (stored.userType() == QMetaType::QString && stored.toString() == value)
            return;
        settings_->setValue(name, value);
        settings_->sync();
        // QSettings keeps the first error it met for good, so its status cannot tell this
        // write's outcome once the file failed to parse: after any error, the file is opened
        // afresh and the value read back from it.
        const QSettings::Status status = settings_->status();
        if (status == QSettings::NoError)
            return;
        noteFormatError();
        open();
        if (status == QSettings::AccessError || settings_->value(name).toString() != value)
            qCWarning(lcShell) << "could not save setting" << name << "to" << settings_->fileName();
    }

private:
    void open()
    {
        settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
        settings_->beginGroup(QLatin1String(kGroup));
    }

    // A file with lines QSettings cannot parse is still used; the user hears of it once.
    void noteFormatError() const
    {
        if (formatWarned_ || settings_->status() != QSettings::FormatError)
            return;
        formatWarned_ = true;
        qCWarning(lcShell) << "the settings file" << settings_->fileName()
                           << "has lines that cannot be read; they are left out";
    }

    QString path_;
    std::unique_ptr<QSettings> settings_;
    mutable bool formatWarned_ = false;
};

} // namespace

std::unique_ptr<SettingsStore> OpenSettingsStore()
{
    const QString path =
        QString::fromStdString(XdgConfigHome()) + QStringLiteral("/Tessaly/Tessaly.ini");
    return std::make_unique<QSettingsStore>(path);
}

} // namespace tessaly
