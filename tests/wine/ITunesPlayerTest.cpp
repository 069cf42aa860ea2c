// The player over COM against the fake iTunes local server: creation, every operation, every
// event through the connection point, and quitting.

#include "watcher/win32/ITunesPlayer.h"

#include "watcher/win32/ComSupport.h"
#include "watcher/win32/ITunesIds.h"
#include "WineSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using com::ComPtr;
using com::Variant;

constexpr wchar_t kFakeWindowClass[] = L"TessalyFakeITunes";

std::string Narrow(const std::u16string& text)
{
    std::string out;
    for (const char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '#';
    return out;
}

std::string Describe(const PlayerTrack& track)
{
    return Narrow(track.KindAsString()) + "|" + Narrow(track.Artist()) + "|" +
           Narrow(track.Album()) + "|" + Narrow(track.Name());
}

class RecordingEvents : public PlayerEvents {
public:
    void OnPlayerPlayEvent(const PlayerTrack& iTrack) override
    {
        log.push_back("play " + Describe(iTrack));
        if (onPlay)
            onPlay(iTrack);
    }
    void OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack) override
    {
        log.push_back("changed " + Describe(iTrack));
    }
    void OnQuittingEvent() override { log.push_back("quitting"); }
    void OnAboutToPromptUserToQuitEvent() override { log.push_back("about to prompt"); }
    void OnCOMCallsEnabledEvent() override { log.push_back("com calls enabled"); }

    std::vector<std::string> log;
    std::function<void(const PlayerTrack&)> onPlay;
};

VARIANT Text(const wchar_t* text)
{
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = SysAllocString(text);
    return value;
}

class ITunesPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        // The last test's server leaves once its clients are gone; do not catch it leaving.
        ASSERT_TRUE(test::PumpMessagesUntil(
            [] { return FindWindowW(kFakeWindowClass, nullptr) == nullptr; }, 10s));
        ComPlayerCreation creation = CreateComPlayer(
            itunes::kProgId, [this](std::string_view what) { errors_.emplace_back(what); });
        ASSERT_TRUE(creation.player) << std::hex << creation.hresult;
        player_ = std::move(creation.player);
        player_->SetEvents(&events_);
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(itunes::kClsidApp, nullptr, CLSCTX_LOCAL_SERVER,
                                               IID_IDispatch, control_.putVoid())));
    }
    void TearDown() override
    {
        player_.reset();
        control_.reset();
        CoUninitialize();
    }

    void control(const wchar_t* method, std::vector<VARIANT> args = {})
    {
        ASSERT_EQ(com::CallMethod(control_.get(), method, args.data(),
                                  static_cast<unsigned>(args.size())),
                  S_OK)
            << "control " << Narrow(std::u16string(method, method + wcslen(method)));
        for (VARIANT& arg : args)
            VariantClear(&arg);
    }
    void load(const wchar_t* kind, const wchar_t* artist, const wchar_t* album, const wchar_t* name)
    {
        control(L"TestLoad", {Text(kind), Text(artist), Text(album), Text(name)});
    }
    void fire(DISPID id)
    {
        VARIANT value;
        VariantInit(&value);
        V_VT(&value) = VT_I4;
        V_I4(&value) = id;
        control(L"TestFire", {value});
    }
    std::u16string controlText(const wchar_t* property)
    {
        Variant value;
        EXPECT_EQ(com::GetProperty(control_.get(), property, value.get()), S_OK);
        return com::VariantText(value.value());
    }
    bool waitForEvents(std::size_t count)
    {
        return test::PumpMessagesUntil([&] { return events_.log.size() >= count; }, 5s);
    }

    RecordingEvents events_;
    std::vector<std::string> errors_;
    std::unique_ptr<Player> player_;
    ComPtr<IDispatch> control_;
};

TEST(ITunesCreationTest, UnregisteredClassIsTheCannotCreateCase)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    // A ProgID naming a CLSID that nobody registered, and one whose server is missing.
    const auto registerProgId = [](const wchar_t* progId, const wchar_t* clsid,
                                   const wchar_t* server) {
        HKEY key = nullptr;
        RegCreateKeyW(HKEY_CLASSES_ROOT, (std::wstring(progId) + L"\\CLSID").c_str(), &key);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid),
                       static_cast<DWORD>((wcslen(clsid) + 1) * 2));
        RegCloseKey(key);
        if (server != nullptr) {
            RegCreateKeyW(HKEY_CLASSES_ROOT,
                          (std::wstring(L"CLSID\\") + clsid + L"\\LocalServer32").c_str(), &key);
            RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server),
                           static_cast<DWORD>((wcslen(server) + 1) * 2));
            RegCloseKey(key);
        }
    };
    constexpr wchar_t kUnregistered[] = L"{4A6C2B1E-7F0D-4E55-9C3B-1D2E3F405161}";
    constexpr wchar_t kMissingServer[] = L"{4A6C2B1E-7F0D-4E55-9C3B-1D2E3F405162}";
    registerProgId(L"Tessaly.Unregistered", kUnregistered, nullptr);
    registerProgId(L"Tessaly.MissingServer", kMissingServer, L"C:\\nowhere\\missing.exe");

    struct Case {
        const wchar_t* progId;
        HRESULT expected;
        bool cannotCreate;
    };
    const Case cases[] = {
        {L"Tessaly.NoSuchPlayer", CO_E_CLASSSTRING, true},
        {L"Tessaly.Unregistered", REGDB_E_CLASSNOTREG, true},
#ifdef _WIN64
        // Wine's 64-bit COM reports a class whose server file is missing as unregistered.
        {L"Tessaly.MissingServer", REGDB_E_CLASSNOTREG, true},
#else
        {L"Tessaly.MissingServer", S_OK, false},
#endif
    };
    for (const Case& c : cases) {
        const ComPlayerCreation creation = CreateComPlayer(c.progId);
        const std::u16string name(c.progId, c.progId + wcslen(c.progId));
        EXPECT_FALSE(creation.player) << Narrow(name);
        EXPECT_EQ(creation.cannotCreate, c.cannotCreate)
            << Narrow(name) << " 0x" << std::hex << static_cast<unsigned long>(creation.hresult);
        if (c.expected != S_OK)
            EXPECT_EQ(creation.hresult, c.expected) << Narrow(name);
        else
            EXPECT_TRUE(FAILED(creation.hresult)) << Narrow(name);
    }

    for (const wchar_t* key : {L"Tessaly.Unregistered", L"Tessaly.MissingServer"})
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key), RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kMissingServer).c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kMissingServer).c_str());
    CoUninitialize();
}

TEST_F(ITunesPlayerTest, ConnectsItsSinkAndDisconnectsItWhenDestroyed)
{
    EXPECT_EQ(controlText(L"TestSinks"), u"1");
    player_.reset();
    EXPECT_EQ(controlText(L"TestSinks"), u"0");
    EXPECT_TRUE(errors_.empty());
}

TEST_F(ITunesPlayerTest, CurrentTrackAndStreamTitle)
{
    EXPECT_EQ(player_->CurrentTrack(), nullptr) << "no track loaded";
    EXPECT_EQ(player_->CurrentStreamTitle(), u"");

    load(L"MPEG audio stream", L"", L"Beyonc\u00E9 FM", L"Station \u00C9t\u00E9");
    control(L"TestSetStreamTitle", {Text(L"Artist \u2013 Song")});
    const std::unique_ptr<PlayerTrack> track = player_->CurrentTrack();
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->KindAsString(), kStreamKind);
    EXPECT_EQ(track->Artist(), u"");
    EXPECT_EQ(track->Album(), u"Beyonc\u00E9 FM");
    EXPECT_EQ(track->Name(), u"Station \u00C9t\u00E9");
    EXPECT_EQ(player_->CurrentStreamTitle(), u"Artist \u2013 Song");
}

TEST_F(ITunesPlayerTest, TextsAreCutAtThePlayersLimitWithoutSplittingAPair)
{
    const std::wstring huge(100000, L'x');
    // A pair that would straddle the limit is left out whole, not halved.
    const std::wstring straddling = std::wstring(kMaxPlayerTextUnits - 1, L'a') + L"\xD83C\xDFB5";
    load(L"MPEG audio stream", huge.c_str(), straddling.c_str(), L"Station");
    control(L"TestSetStreamTitle", {Text(huge.c_str())});
    const std::unique_ptr<PlayerTrack> track = player_->CurrentTrack();
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->Artist(), std::u16string(kMaxPlayerTextUnits, u'x'));
    EXPECT_EQ(track->Album(), std::u16string(kMaxPlayerTextUnits - 1, u'a'));
    EXPECT_EQ(track->Name(), u"Station");
    EXPECT_EQ(player_->CurrentStreamTitle().size(), kMaxPlayerTextUnits);
}

TEST_F(ITunesPlayerTest, EveryOperationReachesThePlayer)
{
    EXPECT_EQ(player_->AppCommandMessageProcessingEnabled(true), PlayerResult::Ok);
    EXPECT_EQ(player_->PreviousTrack(), PlayerResult::Ok);
    EXPECT_EQ(player_->NextTrack(), PlayerResult::Ok);
    EXPECT_EQ(player_->PlayPause(), PlayerResult::Ok);
    EXPECT_EQ(controlText(L"TestCalls"),
              u"AppCommandMessageProcessingEnabled=true;PreviousTrack;NextTrack;PlayPause;");
}

TEST_F(ITunesPlayerTest, EachEventReachesItsHandler)
{
    load(L"MPEG audio file", L"Artist", L"Album", L"Title");
    struct Case {
        DISPID id;
        const char* expected;
    };
    const Case cases[] = {
        {itunes::kOnPlayerPlayEvent, "play MPEG audio file|Artist|Album|Title"},
        {itunes::kOnPlayerPlayingTrackChangedEvent, "changed MPEG audio file|Artist|Album|Title"},
        {itunes::kOnCOMCallsEnabledEvent, "com calls enabled"},
        {itunes::kOnAboutToPromptUserToQuitEvent, "about to prompt"},
        {itunes::kOnQuittingEvent, "quitting"},
    };
    // Events Tessaly does not listen to (database changed, stop) are ignored.
    fire(1);
    fire(3);
    for (const Case& c : cases) {
        const std::size_t before = events_.log.size();
        fire(c.id);
        ASSERT_TRUE(waitForEvents(before + 1)) << "event " << c.id;
        EXPECT_EQ(events_.log.back(), c.expected);
    }
    EXPECT_EQ(events_.log.size(), std::size(cases));
}

TEST_F(ITunesPlayerTest, SkippingATrackComesBackAsAPlayEventAndHandlersMayCallThePlayer)
{
    std::string seenInHandler;
    events_.onPlay = [&](const PlayerTrack&) {
        const std::unique_ptr<PlayerTrack> current = player_->CurrentTrack();
        seenInHandler = current ? Narrow(current->Name()) : "none";
    };
    EXPECT_EQ(player_->NextTrack(), PlayerResult::Ok);
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(events_.log[0], "play MPEG audio file|The Testers|First Light|Opening");
    EXPECT_EQ(seenInHandler, "Opening");
}

TEST_F(ITunesPlayerTest, AHandlerThatThrowsIsReportedAndLaterEventsStillArrive)
{
    events_.onPlay = [](const PlayerTrack&) {
        throw std::runtime_error("refresh failed");
    };
    load(L"MPEG audio file", L"A", L"B", L"C");
    fire(itunes::kOnPlayerPlayEvent);
    fire(itunes::kOnCOMCallsEnabledEvent);
    ASSERT_TRUE(waitForEvents(2));
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find("refresh failed"), std::string::npos);
    EXPECT_EQ(events_.log[1], "com calls enabled");
}

TEST_F(ITunesPlayerTest, QuittingReleasesThePlayerSoThatItCanLeave)
{
    control(L"TestQuit");
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(events_.log, (std::vector<std::string>{"about to prompt", "quitting"}));
    control_.reset();
    EXPECT_TRUE(test::PumpMessagesUntil(
        [] { return FindWindowW(kFakeWindowClass, nullptr) == nullptr; }, 8s))
        << "the player kept the server alive";
    EXPECT_EQ(player_->CurrentTrack(), nullptr);
    EXPECT_EQ(player_->CurrentStreamTitle(), u"");
    EXPECT_EQ(player_->NextTrack(), PlayerResult::NoPlayer);
    EXPECT_EQ(player_->AppCommandMessageProcessingEnabled(true), PlayerResult::NoPlayer);
}

TEST_F(ITunesPlayerTest, CallLatency)
{
    load(L"MPEG audio file", L"Artist", L"Album", L"Title");
    constexpr int kRounds = 100;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i)
        ASSERT_EQ(player_->CurrentTrack()->Name(), u"Title");
    const auto each = (std::chrono::steady_clock::now() - start) / kRounds;
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(each).count();
    RecordProperty("current_track_name_us", std::to_string(micros));
    std::printf("CurrentTrack + Name: %lld us per call pair\n", static_cast<long long>(micros));
    EXPECT_LT(each, 100ms);
}

} // namespace
} // namespace tessaly
