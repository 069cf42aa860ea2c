// The main window's rules without a toolkit: the start-up's order and its recoveries, the
// configuration handlers' writes, the first refresh, the tray icon's clicks, the popup's
// Back/Forward record and the quit question. The window is a fake whose controls are plain values
// and whose setters run the matching handler when the value changes, as the real widgets do.

#include "shell/MainWindowController.h"

#include "shell/unit/ShellFakes.h"
#include "support/core/CoreTestText.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <stdexcept>

namespace tessaly::test {
namespace {

const char* Name(CheckBox box)
{
    switch (box) {
    case CheckBox::chkShowBallons:
        return "chkShowBallons";
    case CheckBox::chkStartMinimized:
        return "chkStartMinimized";
    case CheckBox::chkPlaylist:
        return "chkPlaylist";
    }
    return "?";
}

const char* Name(SpinControl spin)
{
    return spin == SpinControl::VSOpacity ? "VSOpacity" : "VSMainOpacity";
}

const char* Name(TextBox box)
{
    constexpr std::array<const char*, 8> names{"txtArtist",       "txtAlbum",      "txtTitle",
                                               "txtFormatString", "txtNowPlaying", "txtOpacity",
                                               "txtMainOpacity",  "txtPlaylist"};
    return names[static_cast<std::size_t>(box)];
}

// The main window with its controls as values. The initial values are the form's design values.
class FakeView : public MainWindowView {
public:
    explicit FakeView(Journal& journal) : journal_(journal) {}

    // Set once the controller exists; the setters reach the handlers through it.
    ConfigHandlers* handlers = nullptr;

    std::array<int, 3> checks{0, 0, 0};
    std::array<int, 2> spins{80, 80};
    std::array<std::u16string, 8> texts{
        u"", u"",   u"",   std::u16string(settings::kFormat.defaultText),
        u"", u"80", u"80", std::u16string(settings::kPlaylistFile.defaultText)};
    int alpha = -1;
    WindowState state;
    bool visible = false;
    int boxes = 0;
    int unloads = 0;
    std::vector<std::pair<std::u16string, int>> trayIcons;

    int Check(CheckBox box) const { return checks[static_cast<std::size_t>(box)]; }
    int Spin(SpinControl spin) const { return spins[static_cast<std::size_t>(spin)]; }
    const std::u16string& Shown(TextBox box) const { return texts[static_cast<std::size_t>(box)]; }

    // A user typing into a box, one character at a time.
    void Type(TextBox box, std::string_view keys)
    {
        std::u16string text = Shown(box);
        for (const char key : keys) {
            text.push_back(static_cast<char16_t>(key));
            SetText(box, text);
        }
    }

    int CheckValue(CheckBox box) const override { return Check(box); }
    int SpinValue(SpinControl spin) const override { return Spin(spin); }
    std::u16string Text(TextBox box) const override { return Shown(box); }

    void SetCheckValue(CheckBox box, int value) override
    {
        journal_.push_back(std::string("set ") + Name(box) + " " + std::to_string(value));
        int& held = checks[static_cast<std::size_t>(box)];
        if (held == value)
            return;
        held = value;
        switch (box) {
        case CheckBox::chkShowBallons:
            return Run("chkShowBallons_Click", &ConfigHandlers::chkShowBallons_Click);
        case CheckBox::chkStartMinimized:
            return Run("chkStartMinimized_Click", &ConfigHandlers::chkStartMinimized_Click);
        case CheckBox::chkPlaylist:
            return Run("chkPlaylist_Click", &ConfigHandlers::chkPlaylist_Click);
        }
    }

    void SetSpinValue(SpinControl spin, int value) override
    {
        // A scroll bar keeps its value inside its range.
        value = std::clamp(value, 0, 100);
        journal_.push_back(std::string("set ") + Name(spin) + " " + std::to_string(value));
        int& held = spins[static_cast<std::size_t>(spin)];
        if (held == value)
            return;
        held = value;
        if (spin == SpinControl::VSOpacity)
            Run("VSOpacity_Change", &ConfigHandlers::VSOpacity_Change);
        else
            Run("VSMainOpacity_Change", &ConfigHandlers::VSMainOpacity_Change);
    }

    void SetText(TextBox box, std::u16string_view text) override
    {
        journal_.push_back(std::string("text ") + Name(box) + " " + U8(text));
        std::u16string& held = texts[static_cast<std::size_t>(box)];
        if (held == text)
            return;
        held = text;
        if (box == TextBox::txtFormatString)
            Run("txtFormatString_Change", &ConfigHandlers::txtFormatString_Change);
        else if (box == TextBox::txtPlaylist)
            Run("txtPlaylist_Change", &ConfigHandlers::txtPlaylist_Change);
    }

    void SetWindowOpacity(std::int16_t value) override
    {
        journal_.push_back("opacity " + std::to_string(value));
        alpha = value;
    }
    void ShowMissingPlayerBox() override
    {
        journal_.push_back("box");
        ++boxes;
    }
    void AddTrayIcon(std::u16string_view tip, int callbackMessage) override
    {
        journal_.push_back("AddTrayIcon " + U8(tip) + " " + std::to_string(callbackMessage));
        trayIcons.emplace_back(tip, callbackMessage);
    }
    WindowState State() const override { return state; }
    void HideMinimized() override
    {
        journal_.push_back("hide minimized");
        state.minimized = true;
        visible = false;
    }
    void ShowNormal() override
    {
        journal_.push_back("show normal");
        state = {};
        visible = true;
    }
    void ShowAsItIs() override
    {
        journal_.push_back("show");
        visible = true;
    }
    void PopupTrayMenu() override { journal_.push_back("menu"); }
    void Exit() override { journal_.push_back("exit"); }
    void Unload() override
    {
        journal_.push_back("unload");
        ++unloads;
    }

private:
    void Run(const char* name, void (ConfigHandlers::*handler)())
    {
        journal_.push_back(std::string(name) + " {");
        if (handlers)
            (handlers->*handler)();
        journal_.push_back(std::string("} ") + name);
    }

    Journal& journal_;
};

// One controller with fakes around it; the player exists unless told otherwise.
struct Rig {
    enum class PlayerFactory { Creates, ReturnsNull, Throws, Missing };

    Rig()
    {
        store.journal = &journal;
        publisher.journal = &journal;
        player.journal = &journal;
    }

    MainWindowServices Services()
    {
        MainWindowServices services;
        services.store = &store;
        services.publisher = &publisher;
        if (factory != PlayerFactory::Missing)
            services.createPlayer = [this]() -> std::unique_ptr<Player> {
                journal.push_back("createPlayer");
                if (factory == PlayerFactory::Throws)
                    throw std::runtime_error("no session bus");
                if (factory == PlayerFactory::ReturnsNull)
                    return nullptr;
                return std::make_unique<FakePlayer>(player);
            };
        if (withAlerts)
            services.createAlerts = [this](AlertOwner& alertOwner) -> std::unique_ptr<AlertPort> {
                journal.push_back("createAlerts");
                owner = &alertOwner;
                auto port = std::make_unique<RecordingAlerts>();
                port->journal = &journal;
                alerts = port.get();
                return port;
            };
        services.quitQuestion = &question;
        services.files = &files;
        services.ansi = &ansi;
        services.programFolder = u"Tessaly";
        services.reportFailure = [this](std::string_view step, std::string_view what) {
            failures.push_back(std::string(step) + ": " + std::string(what));
        };
        return services;
    }

    MainWindowController& Make()
    {
        controller = std::make_unique<MainWindowController>(Services(), view);
        view.handlers = &controller->Handlers();
        return *controller;
    }

    MainWindowController& Load()
    {
        Make();
        loadResult = controller->Form_Load();
        return *controller;
    }

    // The keys written, in order.
    std::vector<std::string> WrittenKeys() const
    {
        std::vector<std::string> keys;
        for (const auto& [key, text] : store.writes)
            keys.push_back(U8(key));
        return keys;
    }

    // The journal entries that start with one of the prefixes.
    Journal Only(std::initializer_list<std::string_view> prefixes) const
    {
        Journal kept;
        for (const std::string& entry : journal)
            if (std::any_of(prefixes.begin(), prefixes.end(),
                            [&](std::string_view p) { return entry.starts_with(p); }))
                kept.push_back(entry);
        return kept;
    }

    void Refresh(std::string_view artist, std::string_view album, std::string_view title,
                 std::string_view msg = "")
    {
        controller->NowPlaying(U16(artist), U16(album), U16(title), controller->FormatString(),
                               U16(msg));
    }

    Journal journal;
    RecordingStore store;
    RecordingPublisher publisher;
    FakePlayer::State player;
    RecordingQuestion question;
    MemoryFileAppend files;
    Utf8CodePage ansi;
    FakeView view{journal};
    RecordingAlerts* alerts = nullptr;
    AlertOwner* owner = nullptr;
    std::vector<std::string> failures;
    PlayerFactory factory = PlayerFactory::Creates;
    bool withAlerts = true;
    bool loadResult = false;
    std::unique_ptr<MainWindowController> controller;
};

const std::string kLineEndText(kLineEnd);

TEST(ControllerStartup, RunsItsStepsInOrder)
{
    Rig rig;
    rig.player.current = TrackTexts{kFileKind, u"the example band", u"Road Songs", u"Night_Drive"};
    rig.Load();

    const Journal head(rig.journal.begin(), rig.journal.begin() + 4);
    EXPECT_EQ(head,
              (Journal{"createPlayer", "SetEvents on", "createAlerts", "AddTrayIcon Tessaly 512"}));

    // The controls are filled in their order, each writing its value back, before the player is
    // asked for its track.
    const auto current = std::find(rig.journal.begin(), rig.journal.end(), "CurrentTrack");
    ASSERT_NE(current, rig.journal.end());
    for (auto it = rig.journal.begin() + 4; it != current; ++it)
        EXPECT_FALSE(it->starts_with("publish") || it->starts_with("AppCommand") ||
                     it->starts_with("show") || it->starts_with("hide"))
            << *it;
    EXPECT_EQ(rig.WrittenKeys(),
              (std::vector<std::string>{"Minimized", "Ballons", "Opacity", "MainOpacity",
                                        "RadioPlayList", "PlaylistFile", "Format"}));

    const Journal tail(current, rig.journal.end());
    EXPECT_EQ(tail, (Journal{"CurrentTrack", "text txtAlbum Road Songs",
                             "text txtArtist the example band", "text txtTitle Night_Drive",
                             "text txtNowPlaying Road Songs: The Example Band - Night Drive",
                             "publish Road Songs: The Example Band - Night Drive", "alert show",
                             "AppCommand on", "read MainOpacity", "opacity 204", "show normal"}));
}

TEST(ControllerStartup, EmptyStoreShowsAndWritesBackTheDefaults)
{
    Rig rig;
    MainWindowController& c = rig.Make();
    c.bAlertChange = true;
    ASSERT_TRUE(c.Form_Load());

    EXPECT_TRUE(c.Loaded());
    EXPECT_FALSE(c.bAlertChange);
    EXPECT_EQ(rig.view.Shown(TextBox::txtFormatString), u"%L: %A - %T");
    EXPECT_EQ(rig.view.Shown(TextBox::txtPlaylist), u"Playlist.txt");
    EXPECT_EQ(rig.view.Spin(SpinControl::VSOpacity), 80);
    EXPECT_EQ(rig.view.Shown(TextBox::txtOpacity), u"80");
    EXPECT_EQ(rig.view.Spin(SpinControl::VSMainOpacity), 80);
    EXPECT_EQ(rig.view.Shown(TextBox::txtMainOpacity), u"80");
    EXPECT_EQ(rig.view.Check(CheckBox::chkShowBallons), 1);
    EXPECT_EQ(rig.view.Check(CheckBox::chkStartMinimized), 0);
    EXPECT_EQ(rig.view.Check(CheckBox::chkPlaylist), 0);
    EXPECT_EQ(rig.view.alpha, 204);
    EXPECT_TRUE(rig.view.visible);
    EXPECT_EQ(rig.view.trayIcons,
              (std::vector<std::pair<std::u16string, int>>{{u"Tessaly", kWM_MOUSEMOVE}}));
    EXPECT_EQ(rig.player.appCommandCalls, 1);
    EXPECT_NE(rig.player.events, nullptr);
    EXPECT_EQ(c.AlertPlayer(), c.iTune.get());

    EXPECT_EQ(rig.store.values, kDefaultSettings);
    // Each control's handler ran once, whether its value changed or not.
    EXPECT_EQ(rig.store.writes.size(), 7u);
    EXPECT_EQ(c.FormatString(), u"%L: %A - %T");
    EXPECT_EQ(c.Copies().sShowBallons, u"1");
    EXPECT_TRUE(rig.failures.empty());
}

TEST(ControllerStartup, MainOpacityBelowTheFloorIsRaisedTo20ByOneReentry)
{
    Rig rig;
    rig.store.Put("MainOpacity", "10");
    rig.Load();

    EXPECT_EQ(rig.view.Spin(SpinControl::VSMainOpacity), 20);
    EXPECT_EQ(rig.view.Shown(TextBox::txtMainOpacity), u"20");
    EXPECT_EQ(rig.store.Value("MainOpacity"), u"20");
    EXPECT_EQ(rig.view.alpha, 51);
    // The nested run for 20 completes, writing first, before the outer one goes on.
    EXPECT_EQ(rig.Only({"VSMainOpacity_Change", "} VSMainOpacity_Change", "write MainOpacity",
                        "opacity"}),
              (Journal{"VSMainOpacity_Change {", "VSMainOpacity_Change {", "write MainOpacity=20",
                       "opacity 51", "} VSMainOpacity_Change", "write MainOpacity=20", "opacity 51",
                       "} VSMainOpacity_Change", "opacity 51"}));
}

TEST(ControllerStartup, WindowOpacityHoldsItsFloorWhateverTheStoreKept)
{
    struct Case {
        const char* stored;
        bool storeKeepsNothing;
        int spin, alpha;
    };
    const Case cases[] = {
        {"10", false, 20, 51},  {"10", true, 20, 51},    {"-5", true, 20, 51},
        {"abc", true, 80, 204}, {"100", true, 100, 255}, {"21", false, 21, 54},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + (c.storeKeepsNothing ? " dropped" : " kept"));
        Rig rig;
        rig.store.Put("MainOpacity", c.stored);
        rig.store.dropWrites = c.storeKeepsNothing;
        rig.Load();
        EXPECT_EQ(rig.view.Spin(SpinControl::VSMainOpacity), c.spin);
        EXPECT_EQ(rig.view.alpha, c.alpha);
    }
}

// Values outside their domains fall back to the default (or the nearest end of the range) and the
// recovered value is what the store holds afterwards.
TEST(ControllerStartup, StoredValuesOutsideTheirDomainsRecover)
{
    struct Case {
        const char* text;
        int minimized, ballons, opacity, mainOpacity, playlist, alpha;
    };
    const Case cases[] = {
        {"abc", 0, 1, 80, 80, 0, 204}, {"", 0, 1, 80, 80, 0, 204}, {"99999", 0, 1, 80, 80, 0, 204},
        {"1.5", 0, 1, 80, 80, 0, 204}, {"-3", 0, 0, 0, 20, 0, 51}, {"150", 2, 2, 100, 100, 2, 255},
        {" 7 ", 2, 2, 7, 20, 2, 51},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        Rig rig;
        for (const char* key : {"Minimized", "Ballons", "Opacity", "MainOpacity", "RadioPlayList",
                                "PlaylistFile", "Format"})
            rig.store.Put(key, c.text);
        MainWindowController& w = rig.Load();
        EXPECT_TRUE(w.Loaded());
        EXPECT_EQ(rig.store.Value("Minimized"), NumberText(c.minimized));
        EXPECT_EQ(rig.view.Check(CheckBox::chkStartMinimized), c.minimized);
        EXPECT_EQ(rig.store.Value("Ballons"), NumberText(c.ballons));
        EXPECT_EQ(w.Copies().sShowBallons, NumberText(c.ballons));
        EXPECT_EQ(rig.store.Value("Opacity"), NumberText(c.opacity));
        EXPECT_EQ(rig.view.Shown(TextBox::txtOpacity), NumberText(c.opacity));
        EXPECT_EQ(rig.store.Value("MainOpacity"), NumberText(c.mainOpacity));
        EXPECT_EQ(rig.view.Spin(SpinControl::VSMainOpacity), c.mainOpacity);
        EXPECT_EQ(rig.view.Shown(TextBox::txtMainOpacity), NumberText(c.mainOpacity));
        EXPECT_EQ(rig.store.Value("RadioPlayList"), NumberText(c.playlist));
        EXPECT_EQ(rig.view.alpha, c.alpha);
        // A start-minimised value that is not 0 keeps the window in the tray.
        EXPECT_EQ(rig.view.visible, c.minimized == 0);
        // Texts are any text: kept as stored.
        EXPECT_EQ(rig.view.Shown(TextBox::txtPlaylist), U16(c.text));
        EXPECT_EQ(rig.store.Value("PlaylistFile"), U16(c.text));
        EXPECT_EQ(w.FormatString(), U16(c.text));
    }
}

TEST(ControllerStartup, GreyCheckValuesAreKeptAndCountAsOn)
{
    Rig rig;
    for (const char* key : {"Minimized", "Ballons", "RadioPlayList"})
        rig.store.Put(key, "2");
    rig.player.current = TrackTexts{kStreamKind, u"", u"", u"Station One"};
    rig.player.streamTitle = u"song";
    rig.Load();

    EXPECT_EQ(rig.view.Check(CheckBox::chkStartMinimized), 2);
    EXPECT_EQ(rig.view.Check(CheckBox::chkShowBallons), 2);
    EXPECT_EQ(rig.view.Check(CheckBox::chkPlaylist), 2);
    for (const char* key : {"Minimized", "Ballons", "RadioPlayList"})
        EXPECT_EQ(rig.store.Value(key), u"2") << key;
    EXPECT_FALSE(rig.view.visible);
    ASSERT_NE(rig.alerts, nullptr);
    EXPECT_EQ(rig.alerts->calls.size(), 1u);
    EXPECT_EQ(rig.files.Contents(u"Playlist.txt"), "song" + kLineEndText);
}

TEST(ControllerStartup, MinimizedStartStaysInTheTrayUntilADoubleClick)
{
    Rig rig;
    rig.store.Put("Minimized", "1");
    MainWindowController& w = rig.Load();

    EXPECT_EQ(rig.Only({"show", "hide"}), Journal{"hide minimized"});
    EXPECT_FALSE(rig.view.visible);
    EXPECT_TRUE(rig.view.state.minimized);
    EXPECT_EQ(rig.view.trayIcons.size(), 1u);
    EXPECT_EQ(rig.view.Check(CheckBox::chkStartMinimized), 1);

    w.Form_MouseMove(kWM_LBUTTONUP);
    EXPECT_FALSE(rig.view.visible);
    w.Form_MouseMove(kWM_LBUTTONDBLCLK);
    EXPECT_TRUE(rig.view.visible);
    EXPECT_FALSE(rig.view.state.minimized);
}

TEST(ControllerStartup, MissingPlayerShowsOneBoxTouchesNothingAndUnloads)
{
    struct Case {
        const char* name;
        Rig::PlayerFactory factory;
        std::vector<std::string> failures;
    };
    const Case cases[] = {
        {"null", Rig::PlayerFactory::ReturnsNull, {}},
        {"throws", Rig::PlayerFactory::Throws, {"creating the player: no session bus"}},
        {"no factory", Rig::PlayerFactory::Missing, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.factory = c.factory;
        MainWindowController& w = rig.Load();
        EXPECT_FALSE(rig.loadResult);
        EXPECT_FALSE(w.Loaded());
        EXPECT_EQ(w.iTune, nullptr);
        EXPECT_EQ(rig.view.boxes, 1);
        EXPECT_EQ(rig.view.unloads, 1);
        EXPECT_EQ(rig.store.reads, 0);
        EXPECT_TRUE(rig.store.writes.empty());
        EXPECT_TRUE(rig.view.trayIcons.empty());
        EXPECT_FALSE(rig.view.visible);
        EXPECT_EQ(rig.view.alpha, -1);
        EXPECT_TRUE(rig.publisher.statuses.empty());
        EXPECT_EQ(rig.alerts, nullptr);
        EXPECT_EQ(rig.failures, c.failures);
        EXPECT_EQ(rig.Only({"box", "unload", "AddTrayIcon", "show", "hide"}),
                  (Journal{"box", "unload"}));
    }
}

TEST(ControllerStartup, FirstRefreshOfALocalTrackAStreamAndNothing)
{
    struct Case {
        const char* name;
        std::optional<TrackTexts> current;
        std::u16string streamTitle;
        std::u16string title, status;
        bool published;
        std::u16string alertMsg;
        std::string playlist;
    };
    const Case cases[] = {
        {"local", TrackTexts{kFileKind, u"the example band", u"Road Songs", u"Night_Drive"}, u"",
         u"Night_Drive", u"Road Songs: The Example Band - Night Drive", true, u"", ""},
        // The playlist switch was filled before the first refresh, so its title is logged.
        {"stream", TrackTexts{kStreamKind, u"", u"", u"Station One"}, u"abc - night drive",
         u"abc - night drive", u": - Abc - Night Drive", true,
         u"Station One\r\n\r\nabc - night drive", "abc - night drive" + kLineEndText},
        {"none", std::nullopt, u"", u"", u"", false, u"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.store.Put("RadioPlayList", "1");
        rig.player.current = c.current;
        rig.player.streamTitle = c.streamTitle;
        rig.Load();
        EXPECT_EQ(rig.view.Shown(TextBox::txtTitle), c.title);
        EXPECT_EQ(rig.view.Shown(TextBox::txtNowPlaying), c.status);
        ASSERT_EQ(rig.publisher.statuses.size(), c.published ? 1u : 0u);
        if (c.published) {
            EXPECT_EQ(rig.publisher.statuses[0], c.status);
        }
        ASSERT_EQ(rig.alerts->calls.size(), c.published ? 1u : 0u);
        if (c.published) {
            EXPECT_EQ(rig.alerts->calls[0].kind, "show");
            EXPECT_EQ(rig.alerts->calls[0].msg, c.alertMsg);
        }
        EXPECT_EQ(rig.files.Contents(u"Playlist.txt"), c.playlist);
        EXPECT_EQ(rig.player.appCommandCalls, 1);
    }
}

TEST(ControllerStartup, AFailingStepIsReportedAndTheStartUpGoesOn)
{
    struct Case {
        const char* name;
        bool currentTrackThrows, appCommandThrows, publisherThrows;
        std::string failure;
        int appCommandCalls;
    };
    const Case cases[] = {
        {"CurrentTrack", true, false, false, "the first refresh: CurrentTrack failed", 1},
        {"publisher", false, false, true, "the first refresh: publisher failed", 1},
        {"AppCommand", false, true, false, "AppCommandMessageProcessingEnabled: AppCommand failed",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.player.current = TrackTexts{kFileKind, u"a", u"b", u"c"};
        rig.player.currentTrackThrows = c.currentTrackThrows;
        rig.player.appCommandThrows = c.appCommandThrows;
        rig.publisher.throws = c.publisherThrows;
        MainWindowController& w = rig.Load();
        EXPECT_EQ(rig.failures, std::vector<std::string>{c.failure});
        EXPECT_TRUE(rig.loadResult);
        EXPECT_TRUE(w.Loaded());
        EXPECT_EQ(rig.player.appCommandCalls, c.appCommandCalls);
        EXPECT_EQ(rig.view.alpha, 204);
        EXPECT_TRUE(rig.view.visible);
        EXPECT_EQ(rig.store.writes.size(), 7u);
    }
}

TEST(ControllerServices, EveryServiceIsRequired)
{
    using Clear = void (*)(MainWindowServices&);
    const Clear clears[] = {
        [](MainWindowServices& s) { s.store = nullptr; },
        [](MainWindowServices& s) { s.publisher = nullptr; },
        [](MainWindowServices& s) { s.quitQuestion = nullptr; },
        [](MainWindowServices& s) { s.files = nullptr; },
        [](MainWindowServices& s) { s.ansi = nullptr; },
    };
    for (std::size_t i = 0; i < std::size(clears); ++i) {
        SCOPED_TRACE(i);
        Rig rig;
        MainWindowServices services = rig.Services();
        clears[i](services);
        EXPECT_THROW(MainWindowController(std::move(services), rig.view), std::invalid_argument);
    }
}

struct LoadedController : ::testing::Test {
    void SetUp() override
    {
        w = &rig.Load();
        rig.store.writes.clear();
        rig.journal.clear();
    }
    Rig rig;
    MainWindowController* w = nullptr;
};

TEST_F(LoadedController, TextBoxesWriteEveryKeystroke)
{
    rig.view.SetText(TextBox::txtFormatString, u"");
    rig.view.SetText(TextBox::txtPlaylist, u"");
    rig.store.writes.clear();
    rig.view.Type(TextBox::txtFormatString, "%T");
    rig.view.Type(TextBox::txtPlaylist, "a.m3u");
    EXPECT_EQ(rig.store.writes, kKeystrokeWrites);
    EXPECT_EQ(w->FormatString(), u"%T");
}

TEST_F(LoadedController, CheckBoxesWriteTheirValue)
{
    struct Case {
        CheckBox box;
        int value;
        const char16_t* key;
        const char16_t* text;
    };
    const Case cases[] = {
        {CheckBox::chkShowBallons, 0, u"Ballons", u"0"},
        {CheckBox::chkShowBallons, 2, u"Ballons", u"2"},
        {CheckBox::chkStartMinimized, 1, u"Minimized", u"1"},
        {CheckBox::chkPlaylist, 1, u"RadioPlayList", u"1"},
        {CheckBox::chkPlaylist, 0, u"RadioPlayList", u"0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Name(c.box) + std::to_string(c.value));
        rig.store.writes.clear();
        rig.view.SetCheckValue(c.box, c.value);
        EXPECT_EQ(rig.store.writes, (Writes{{c.key, c.text}}));
    }
    // The popups read the in-memory copy of the notifications switch.
    EXPECT_EQ(w->Copies().sShowBallons, u"2");
}

TEST_F(LoadedController, SpinControlsWriteShowAndSetTheWindowOpacity)
{
    struct Case {
        SpinControl spin;
        int value;
        Writes writes;
        int shown;
        int alpha; // -1: the window's opacity is not touched
    };
    const Case cases[] = {
        {SpinControl::VSOpacity, 81, {{u"Opacity", u"81"}}, 81, -1},
        // The popups' opacity has no floor.
        {SpinControl::VSOpacity, 0, {{u"Opacity", u"0"}}, 0, -1},
        {SpinControl::VSMainOpacity, 79, {{u"MainOpacity", u"79"}}, 79, 201},
        {SpinControl::VSMainOpacity, 20, {{u"MainOpacity", u"20"}}, 20, 51},
        // Below the floor: back to 20 at once, the nested run writing first.
        {SpinControl::VSMainOpacity,
         19,
         {{u"MainOpacity", u"20"}, {u"MainOpacity", u"20"}},
         20,
         51},
        {SpinControl::VSMainOpacity, 0, {{u"MainOpacity", u"20"}, {u"MainOpacity", u"20"}}, 20, 51},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Name(c.spin) + std::string(" ") + std::to_string(c.value));
        // Start from a value different from the target so that the control notices.
        rig.view.spins[static_cast<std::size_t>(c.spin)] = 50;
        rig.store.writes.clear();
        rig.view.alpha = -1;
        rig.view.SetSpinValue(c.spin, c.value);
        EXPECT_EQ(rig.store.writes, c.writes);
        EXPECT_EQ(rig.view.Spin(c.spin), c.shown);
        const TextBox box =
            c.spin == SpinControl::VSOpacity ? TextBox::txtOpacity : TextBox::txtMainOpacity;
        EXPECT_EQ(rig.view.Shown(box), NumberText(c.shown));
        EXPECT_EQ(rig.view.alpha, c.alpha);
    }
}

TEST_F(LoadedController, NotificationsSwitchDecidesTheNextRefreshOnly)
{
    rig.view.SetCheckValue(CheckBox::chkShowBallons, 0);
    rig.Refresh("a", "b", "c");
    EXPECT_TRUE(rig.alerts->calls.empty());
    rig.view.SetCheckValue(CheckBox::chkShowBallons, 1);
    rig.Refresh("a", "b", "c");
    EXPECT_EQ(rig.alerts->calls.size(), 1u);
}

TEST_F(LoadedController, NewFormatTakesEffectAtTheNextRefresh)
{
    rig.player.events->OnPlayerPlayEvent(FakeTrack({kFileKind, u"artist", u"album", u"song"}));
    ASSERT_EQ(rig.publisher.statuses.size(), 1u);
    const std::u16string shown = rig.view.Shown(TextBox::txtNowPlaying);

    rig.view.SetText(TextBox::txtFormatString, u"%T by %A");
    EXPECT_EQ(rig.view.Shown(TextBox::txtNowPlaying), shown);
    EXPECT_EQ(rig.publisher.statuses.size(), 1u);

    rig.player.events->OnPlayerPlayEvent(FakeTrack({kFileKind, u"artist", u"album", u"song"}));
    EXPECT_EQ(rig.view.Shown(TextBox::txtNowPlaying), u"Song By Artist");
    EXPECT_EQ(rig.publisher.statuses.back(), u"Song By Artist");
}

TEST_F(LoadedController, PlaylistLogsRadioTitlesWhileItsSwitchIsNotClear)
{
    const std::string msg = "Station\r\n\r\n";
    rig.Refresh("", "", "first", msg + "first"); // switch clear
    rig.view.SetCheckValue(CheckBox::chkPlaylist, 1);
    rig.Refresh("a", "b", "local"); // not radio
    rig.Refresh("", "", "", msg);   // no title
    rig.Refresh("", "", "same", msg + "same");
    rig.Refresh("", "", "same", msg + "same");
    rig.view.SetCheckValue(CheckBox::chkPlaylist, 2);
    rig.Refresh("", "", "grey", msg + "grey");
    EXPECT_EQ(rig.files.Contents(u"Playlist.txt"),
              "same" + kLineEndText + "same" + kLineEndText + "grey" + kLineEndText);
}

TEST_F(LoadedController, NewPlaylistNameTakesEffectAtTheNextTitle)
{
    rig.view.SetCheckValue(CheckBox::chkPlaylist, 1);
    rig.Refresh("", "", "one", "S\r\n\r\none");
    rig.view.SetText(TextBox::txtPlaylist, u"other.txt");
    rig.Refresh("", "", "two", "S\r\n\r\ntwo");
    EXPECT_EQ(rig.files.Contents(u"Playlist.txt"), "one" + kLineEndText);
    EXPECT_EQ(rig.files.Contents(u"other.txt"), "two" + kLineEndText);
}

TEST_F(LoadedController, BackOrForwardRecordIsConsumedByTheNextRefresh)
{
    ASSERT_NE(rig.owner, nullptr);
    // The popup drives the window's one player.
    EXPECT_EQ(rig.owner->AlertPlayer(), w->iTune.get());

    rig.owner->RecordAlertChange(7);
    EXPECT_TRUE(w->bAlertChange);
    EXPECT_EQ(w->oAlert, 7u);
    rig.Refresh("artist", "album", "title");
    EXPECT_FALSE(w->bAlertChange);
    ASSERT_EQ(rig.alerts->calls.size(), 1u);
    EXPECT_EQ(rig.alerts->calls[0].kind, "update");
    EXPECT_EQ(rig.alerts->calls[0].alert, 7u);
    EXPECT_EQ(rig.alerts->calls[0].album, u"album");
    EXPECT_EQ(rig.alerts->calls[0].artist, u"artist");
    EXPECT_EQ(rig.alerts->calls[0].title, u"title");

    // The next refresh opens a new popup again.
    rig.Refresh("artist", "album", "title");
    ASSERT_EQ(rig.alerts->calls.size(), 2u);
    EXPECT_EQ(rig.alerts->calls[1].kind, "show");
}

TEST_F(LoadedController, BackOrForwardRecordUpdatesEvenWithNotificationsOff)
{
    rig.view.SetCheckValue(CheckBox::chkShowBallons, 0);
    rig.owner->RecordAlertChange(3);
    rig.Refresh("artist", "album", "title");
    ASSERT_EQ(rig.alerts->calls.size(), 1u);
    EXPECT_EQ(rig.alerts->calls[0].kind, "update");
    EXPECT_EQ(rig.alerts->calls[0].alert, 3u);

    rig.Refresh("artist", "album", "title");
    EXPECT_EQ(rig.alerts->calls.size(), 1u);
}

TEST(ControllerRefresh, WithoutPopupsTheRestOfTheRefreshRuns)
{
    Rig rig;
    rig.withAlerts = false;
    rig.Load();
    rig.Refresh("artist", "album", "song");
    EXPECT_EQ(rig.publisher.statuses, std::vector<std::u16string>{u"Album: Artist - Song"});
    EXPECT_EQ(rig.view.Shown(TextBox::txtTitle), u"song");
}

TEST_F(LoadedController, TrayMessagesFollowTheWindowState)
{
    constexpr WindowState normal{false, false};
    constexpr WindowState minimised{true, false};
    constexpr WindowState maximised{false, true};
    constexpr WindowState minimisedFromMaximised{true, true};
    struct Case {
        const char* name;
        WindowState state;
        int message;
        Journal done;
    };
    const Case cases[] = {
        {"normal, right up", normal, kWM_RBUTTONUP, {"menu"}},
        {"normal, left double", normal, kWM_LBUTTONDBLCLK, {"show normal"}},
        {"normal, left up", normal, kWM_LBUTTONUP, {}},
        {"minimised, right up", minimised, kWM_RBUTTONUP, {"menu"}},
        {"minimised, left double", minimised, kWM_LBUTTONDBLCLK, {"show normal"}},
        {"minimised, move", minimised, kWM_MOUSEMOVE, {}},
        {"maximised, right up", maximised, kWM_RBUTTONUP, {}},
        {"maximised, left double", maximised, kWM_LBUTTONDBLCLK, {}},
        {"from maximised, left double", minimisedFromMaximised, kWM_LBUTTONDBLCLK, {"show normal"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.journal.clear();
        rig.view.state = c.state;
        w->Form_MouseMove(c.message);
        EXPECT_EQ(rig.journal, c.done);
    }
}

TEST_F(LoadedController, ResizeToMinimisedHidesAndConfigureBringsBack)
{
    struct Case {
        const char* name;
        WindowState state;
        Journal resize, configure;
    };
    const Case cases[] = {
        {"normal", {false, false}, {}, {"show"}},
        {"maximised", {false, true}, {}, {"show"}},
        {"minimised", {true, false}, {"hide minimized"}, {"show normal"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.view.state = c.state;
        rig.journal.clear();
        w->Form_Resize();
        EXPECT_EQ(rig.journal, c.resize);
        rig.view.state = c.state;
        rig.journal.clear();
        w->mnuShow_Click();
        EXPECT_EQ(rig.journal, c.configure);
    }
}

TEST_F(LoadedController, PlayerQuittingAsksAndYesExits)
{
    rig.question.answer = false;
    rig.player.events->OnQuittingEvent();
    EXPECT_EQ(rig.question.asked, 1);
    EXPECT_TRUE(rig.Only({"exit"}).empty());

    rig.question.answer = true;
    rig.player.events->OnQuittingEvent();
    EXPECT_EQ(rig.question.asked, 2);
    EXPECT_EQ(rig.Only({"exit"}), Journal{"exit"});
}

TEST_F(LoadedController, UnloadDisconnectsThePlayerEvents)
{
    w->Form_Unload();
    EXPECT_FALSE(w->Loaded());
    EXPECT_EQ(rig.player.events, nullptr);
    EXPECT_FALSE(rig.player.destroyed);
    rig.controller.reset();
    EXPECT_TRUE(rig.player.destroyed);
}

} // namespace
} // namespace tessaly::test
