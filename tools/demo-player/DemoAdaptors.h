#pragma once

// The demo player's D-Bus faces: the two MPRIS interfaces on /org/mpris/MediaPlayer2 and the
// control interface org.tessaly.DemoPlayer on /org/tessaly/DemoPlayer.

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

namespace demo {

class DemoPlayer;

class RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit RootAdaptor(DemoPlayer* player);
    bool canQuit() const { return true; }
    bool canRaise() const { return false; }
    bool hasTrackList() const { return false; }
    QString identity() const { return QStringLiteral("Tessaly Demo Player"); }
    QString desktopEntry() const { return QStringLiteral("tessaly-demo-player"); }
    QStringList supportedUriSchemes() const
    {
        return {QStringLiteral("file"), QStringLiteral("http")};
    }
    QStringList supportedMimeTypes() const { return {QStringLiteral("audio/mpeg")}; }

public Q_SLOTS:
    void Raise() {}
    void Quit();

private:
    DemoPlayer* player_;
};

class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QString LoopStatus READ loopStatus WRITE setLoopStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(bool Shuffle READ shuffle WRITE setShuffle)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(bool CanGoNext READ yes)
    Q_PROPERTY(bool CanGoPrevious READ yes)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit PlayerAdaptor(DemoPlayer* player);
    QString playbackStatus() const;
    QString loopStatus() const { return loopStatus_; }
    void setLoopStatus(const QString& s) { loopStatus_ = s; }
    double rate() const { return 1.0; }
    void setRate(double) {}
    bool shuffle() const { return shuffle_; }
    void setShuffle(bool s) { shuffle_ = s; }
    QVariantMap metadata() const;
    // How often a client has read Metadata, alone or with the other properties.
    uint metadataReads() const { return metadataReads_; }
    double volume() const { return volume_; }
    void setVolume(double v) { volume_ = v; }
    qlonglong position() const;
    bool yes() const { return true; }
    bool no() const { return false; }

public Q_SLOTS:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    DemoPlayer* player_;
    QString loopStatus_ = QStringLiteral("None");
    bool shuffle_ = false;
    double volume_ = 1.0;
    mutable uint metadataReads_ = 0;
};

// For tests: states no ordinary client could produce.
class ControlAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tessaly.DemoPlayer")
public:
    ControlAdaptor(QObject* object, DemoPlayer* player, const PlayerAdaptor* mpris);

public Q_SLOTS:
    void SetMetadata(const QVariantMap& metadata);
    void SetPlaybackStatus(const QString& status);
    void Burst(uint count, uint withinMs);
    void SwitchToRadio();
    void SetStreamTitle(const QString& title, bool signal);
    void NextWithBlip(uint gapMs);
    void EmitDuplicate();
    bool AddAlias(const QString& suffix);
    // How often a client has read the Metadata property (Get or GetAll).
    uint MetadataReads() const;

private:
    DemoPlayer* player_;
    const PlayerAdaptor* mpris_;
};

} // namespace demo
