#pragma once

// One frmMain with stand-ins for everything it talks to, recording what it was told. The
// services are the core suite's fakes; only the window and its boxes are Qt here.

#include "common/qt/QtText.h"
#include "shell/qt/frmMain.h"
#include "shell/unit/ShellFakes.h"

#include <memory>
#include <QString>
#include <utility>

namespace tessaly::test {

// One frmMain with fakes around it; the player exists unless noPlayer is set.
struct MainWindowRig {
    RecordingStore store;
    RecordingPublisher publisher;
    FakePlayer::State player;
    RecordingAlerts* alerts = nullptr;
    RecordingQuestion question;
    MemoryFileAppend files;
    Utf8CodePage ansi;
    bool noPlayer = false;
    int boxes = 0;
    int quits = 0;
    std::unique_ptr<frmMain> window;

    frmMain& Load()
    {
        frmMainServices services;
        services.core.store = &store;
        services.core.publisher = &publisher;
        services.core.createPlayer = [this]() -> std::unique_ptr<Player> {
            if (noPlayer)
                return nullptr;
            return std::make_unique<FakePlayer>(player);
        };
        services.core.createAlerts = [this](AlertOwner&) -> std::unique_ptr<AlertPort> {
            auto port = std::make_unique<RecordingAlerts>();
            alerts = port.get();
            return port;
        };
        services.core.quitQuestion = &question;
        services.core.files = &files;
        services.core.ansi = &ansi;
        services.core.programFolder = u"Tessaly";
        services.showMissingPlayerBox = [this] {
            ++boxes;
        };
        services.quit = [this] {
            ++quits;
        };
        window = std::make_unique<frmMain>(std::move(services));
        window->Form_Load();
        return *window;
    }

    // The stored text of a key, as Qt text.
    QString Stored(std::string_view key) const { return ToQString(store.Value(key)); }
    void Put(std::string_view key, std::string_view text) { store.Put(key, text); }

    // A refresh as the player's events start it.
    void Refresh(const QString& artist, const QString& album, const QString& title,
                 const QString& msg = QString())
    {
        MainWindowController& c = window->Controller();
        c.NowPlaying(ToU16(artist), ToU16(album), ToU16(title), c.FormatString(), ToU16(msg));
    }
};

} // namespace tessaly::test
