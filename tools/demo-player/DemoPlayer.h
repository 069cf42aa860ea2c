#pragma once

// The state of the demo player and every way to change it; each change goes out as
// PropertiesChanged on the player's object.

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

namespace demo {

struct Options {
    bool radio = false;
    bool stopped = false;
    int intervalMs = 0; // 0: no automatic advance
    int quitAfter = 0;  // 0: never
    QString suffix;
};

class DemoPlayer : public QObject {
    Q_OBJECT
public:
    DemoPlayer(QDBusConnection bus, const Options& options, QObject* parent = nullptr);

    QString playbackStatus() const { return status_; }
    QVariantMap metadata() const { return metadata_; }
    qlonglong positionUs() const;
    bool onRadio() const { return radio_; }

    // MPRIS commands.
    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void quit();

    // Control interface.
    void setRawMetadata(const QVariantMap& metadata);
    void setRawStatus(const QString& status);
    void burst(uint count, uint withinMs);
    void switchToRadio();
    void setStreamTitle(const QString& title, bool signal);
    void nextWithBlip(uint gapMs);
    void emitDuplicate();
    bool addAlias(const QString& suffix);

Q_SIGNALS:
    void seeked(qlonglong positionUs);

private:
    void loadTrack(int index);
    void loadStation();
    void setStatus(const QString& status);
    void emitChanged(const QStringList& properties);
    void countChange();
    void onTick();

    QDBusConnection bus_;
    Options options_;
    QString status_ = QStringLiteral("Playing");
    QVariantMap metadata_;
    int index_ = 0;
    bool radio_ = false;
    int titleIndex_ = 0;
    int changes_ = 0;
    qlonglong positionBaseUs_ = 0;
    QElapsedTimer playingSince_;
    QTimer ticker_;
};

} // namespace demo
