#pragma once

// Stand-ins for everything frmMain talks to, recording what it was told.

#include "publisher/StatusPublisher.h"
#include "shell/AlertPort.h"
#include "shell/frmMain.h"
#include "shell/SettingsStore.h"
#include "watcher/Player.h"

#include <map>
#include <optional>
#include <QDir>
#include <QTemporaryDir>
#include <utility>
#include <vector>

namespace tessaly::test {

class RecordingStore : public SettingsStore {
public:
    QString read(const QString& key, const QString& defaultValue) const override
    {
        const auto it = values.find(key);
        return it == values.end() ? defaultValue : it->second;
    }
    void write(const QString& key, const QString& text) override
    {
        writes.emplace_back(key, text);
        values[key] = text;
    }
    std::map<QString, QString> values;
    std::vector<std::pair<QString, QString>> writes;
};

struct TrackTexts {
    std::u16string kind = kFileKind;
    std::u16string artist, album, name;
};

class FakeTrack : public PlayerTrack {
public:
    explicit FakeTrack(TrackTexts t) : t_(std::move(t)) {}
    std::u16string KindAsString() const override { return t_.kind; }
    std::u16string Artist() const override { return t_.artist; }
    std::u16string Album() const override { return t_.album; }
    std::u16string Name() const override { return t_.name; }

private:
    TrackTexts t_;
};

class FakePlayer : public Player {
public:
    struct State {
        std::optional<TrackTexts> current;
        std::u16string streamTitle;
        PlayerEvents* events = nullptr;
        int appCommandCalls = 0;
        bool destroyed = false;
    };
    explicit FakePlayer(State& state) : s_(state) {}
    ~FakePlayer() override { s_.destroyed = true; }
    void SetEvents(PlayerEvents* events) override { s_.events = events; }
    std::unique_ptr<PlayerTrack> CurrentTrack() override
    {
        if (!s_.current)
            return nullptr;
        return std::make_unique<FakeTrack>(*s_.current);
    }
    std::u16string CurrentStreamTitle() override { return s_.streamTitle; }
    PlayerResult AppCommandMessageProcessingEnabled(bool enabled) override
    {
        s_.appCommandCalls += enabled ? 1 : 0;
        return PlayerResult::Ok;
    }
    PlayerResult PreviousTrack() override { return PlayerResult::Ok; }
    PlayerResult NextTrack() override { return PlayerResult::Ok; }
    PlayerResult PlayPause() override { return PlayerResult::Ok; }

private:
    State& s_;
};

class RecordingPublisher : public StatusPublisher {
public:
    void SetYahooStatus(const std::u16string& statusText) override
    {
        statuses.push_back(QString::fromStdU16String(statusText));
    }
    std::vector<QString> statuses;
};

class RecordingAlerts : public AlertPort {
public:
    struct Call {
        QString kind, artist, album, title, msg;
        QWidget* alert = nullptr;
    };
    void ShowRefreshAlert(const QString& sArtist, const QString& sAlbum, const QString& sTitle,
                          const QString& sMsg) override
    {
        calls.push_back({QStringLiteral("show"), sArtist, sAlbum, sTitle, sMsg, nullptr});
    }
    void UpdateRecordedAlert(QWidget* oAlert, const QString& sAlbum, const QString& sArtist,
                             const QString& sTitle) override
    {
        calls.push_back({QStringLiteral("update"), sArtist, sAlbum, sTitle, QString(), oAlert});
    }
    std::vector<Call> calls;
};

// One frmMain with fakes around it; the player exists unless noPlayer is set.
struct MainWindowRig {
    RecordingStore store;
    RecordingPublisher publisher;
    FakePlayer::State player;
    RecordingAlerts* alerts = nullptr;
    bool noPlayer = false;
    int boxes = 0;
    int quits = 0;
    int shutdownQuestions = 0;
    bool shutdownAnswer = false;
    QTemporaryDir folder;
    std::unique_ptr<frmMain> window;

    frmMain& Load()
    {
        frmMainServices services;
        services.store = &store;
        services.publisher = &publisher;
        services.createPlayer = [this]() -> std::unique_ptr<Player> {
            if (noPlayer)
                return nullptr;
            return std::make_unique<FakePlayer>(player);
        };
        services.createAlerts = [this](AlertOwner&) -> std::unique_ptr<AlertPort> {
            auto port = std::make_unique<RecordingAlerts>();
            alerts = port.get();
            return port;
        };
        services.showMissingPlayerBox = [this] {
            ++boxes;
        };
        services.askShutdown = [this] {
            ++shutdownQuestions;
            return shutdownAnswer;
        };
        services.programFolder = folder.path() + QStringLiteral("/Tessaly");
        services.quit = [this] {
            ++quits;
        };
        window = std::make_unique<frmMain>(std::move(services));
        window->Form_Load();
        return *window;
    }
    QString programFolder() const { return folder.path() + QStringLiteral("/Tessaly"); }
};

} // namespace tessaly::test
