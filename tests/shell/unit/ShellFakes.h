#pragma once

// Stand-ins for the main window's services, in standard C++ only, so that the core suite and the
// Qt suites drive the same rules with the same fakes. Each may note what it was told in a shared
// journal, which lets a test check the order of steps across services.

#include "common/Settings.h"
#include "common/Text.h"
#include "popup/AlertOwner.h"
#include "publisher/StatusPublisher.h"
#include "support/core/FakeCodePages.h"
#include "watcher/AlertPort.h"
#include "watcher/Player.h"
#include "watcher/PlayerEventHandlers.h"
#include "watcher/RadioPlaylist.h"

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tessaly::test {

using Journal = std::vector<std::string>;

inline void Note(Journal* journal, std::string entry)
{
    if (journal)
        journal->push_back(std::move(entry));
}

class RecordingStore : public SettingsStore {
public:
    std::u16string read(std::u16string_view key, std::u16string_view defaultValue) const override
    {
        ++reads;
        Note(journal, "read " + Utf16ToUtf8(key));
        const auto it = values.find(key);
        return it == values.end() ? std::u16string(defaultValue) : it->second;
    }
    void write(std::u16string_view key, std::u16string_view text) override
    {
        Note(journal, "write " + Utf16ToUtf8(key) + "=" + Utf16ToUtf8(text));
        writes.emplace_back(key, text);
        if (!dropWrites)
            values[std::u16string(key)] = text;
    }
    // Sets a stored value without counting it as a write.
    void Put(std::string_view key, std::string_view text)
    {
        values[Utf8ToUtf16(key)] = Utf8ToUtf16(text);
    }
    std::u16string Value(std::string_view key) const
    {
        const auto it = values.find(Utf8ToUtf16(key));
        return it == values.end() ? std::u16string(u"<absent>") : it->second;
    }

    std::map<std::u16string, std::u16string, std::less<>> values;
    std::vector<std::pair<std::u16string, std::u16string>> writes;
    mutable int reads = 0;
    // A store that reports success but keeps nothing.
    bool dropWrites = false;
    Journal* journal = nullptr;
};

using Writes = std::vector<std::pair<std::u16string, std::u16string>>;

// What a first start writes back to an empty store.
inline const std::map<std::u16string, std::u16string, std::less<>> kDefaultSettings{
    {u"Minimized", u"0"},       {u"Ballons", u"1"},       {u"Opacity", u"80"},
    {u"MainOpacity", u"80"},    {u"RadioPlayList", u"0"}, {u"PlaylistFile", u"Playlist.txt"},
    {u"Format", u"%L: %A - %T"}};

// Typing "%T" into an emptied format box and "a.m3u" into an emptied playlist box: one write a
// keystroke.
inline const Writes kKeystrokeWrites = {{u"Format", u"%"},          {u"Format", u"%T"},
                                        {u"PlaylistFile", u"a"},    {u"PlaylistFile", u"a."},
                                        {u"PlaylistFile", u"a.m"},  {u"PlaylistFile", u"a.m3"},
                                        {u"PlaylistFile", u"a.m3u"}};

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
        // The player call throws, as a connection that broke mid-call would.
        bool currentTrackThrows = false;
        bool appCommandThrows = false;
        Journal* journal = nullptr;
    };
    explicit FakePlayer(State& state) : s_(state) {}
    ~FakePlayer() override { s_.destroyed = true; }
    void SetEvents(PlayerEvents* events) override
    {
        Note(s_.journal, events ? "SetEvents on" : "SetEvents off");
        s_.events = events;
    }
    std::unique_ptr<PlayerTrack> CurrentTrack() override
    {
        Note(s_.journal, "CurrentTrack");
        if (s_.currentTrackThrows)
            throw std::runtime_error("CurrentTrack failed");
        if (!s_.current)
            return nullptr;
        return std::make_unique<FakeTrack>(*s_.current);
    }
    std::u16string CurrentStreamTitle() override { return s_.streamTitle; }
    PlayerResult AppCommandMessageProcessingEnabled(bool enabled) override
    {
        Note(s_.journal, enabled ? "AppCommand on" : "AppCommand off");
        if (s_.appCommandThrows)
            throw std::runtime_error("AppCommand failed");
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
        Note(journal, "publish " + Utf16ToUtf8(statusText));
        if (throws)
            throw std::runtime_error("publisher failed");
        statuses.push_back(statusText);
    }
    std::vector<std::u16string> statuses;
    bool throws = false;
    Journal* journal = nullptr;
};

class RecordingAlerts : public AlertPort {
public:
    struct Call {
        std::string kind;
        std::u16string artist, album, title, msg;
        PopupId alert = kNoPopup;
    };
    void ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                          std::u16string_view sTitle, std::u16string_view sMsg) override
    {
        Note(journal, "alert show");
        calls.push_back({"show", std::u16string(sArtist), std::u16string(sAlbum),
                         std::u16string(sTitle), std::u16string(sMsg), kNoPopup});
    }
    void UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                             std::u16string_view sArtist, std::u16string_view sTitle) override
    {
        Note(journal, "alert update");
        calls.push_back({"update", std::u16string(sArtist), std::u16string(sAlbum),
                         std::u16string(sTitle), std::u16string(), oAlert});
    }
    std::vector<Call> calls;
    Journal* journal = nullptr;
};

class RecordingQuestion : public QuitQuestion {
public:
    bool AskShutdown() override
    {
        ++asked;
        return answer;
    }
    int asked = 0;
    bool answer = false;
};

// The program folder in memory: every append lands in `files`.
class MemoryFileAppend : public FileAppend {
public:
    bool EnsureFolder(std::u16string_view) override { return true; }
    std::u16string Append(std::u16string_view path, std::string_view bytes) override
    {
        files[std::u16string(path)].append(bytes);
        return {};
    }
    void Warn(std::u16string_view message) override { warnings.emplace_back(message); }

    // The contents of the file whose path ends in name ("" when there is none).
    std::string Contents(std::u16string_view name) const
    {
        for (const auto& [path, bytes] : files)
            if (path.size() > name.size() && path.ends_with(name) &&
                (path[path.size() - name.size() - 1] == u'/' ||
                 path[path.size() - name.size() - 1] == u'\\'))
                return bytes;
        return {};
    }

    std::map<std::u16string, std::string> files;
    std::vector<std::u16string> warnings;
};

} // namespace tessaly::test
