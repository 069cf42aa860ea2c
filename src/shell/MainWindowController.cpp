#include "shell/MainWindowController.h"

#include "common/Opacity.h"
#include "common/Settings.h"

#include <algorithm>
#include <stdexcept>

namespace tessaly {

namespace {

MainWindowServices Checked(MainWindowServices services)
{
    if (!services.store || !services.publisher || !services.quitQuestion || !services.files ||
        !services.ansi)
        throw std::invalid_argument("the main window needs every one of its services");
    return services;
}

} // namespace

MainWindowController::MainWindowController(MainWindowServices services, MainWindowView& view)
    : services_(Checked(std::move(services))), view_(view),
      handlers_(*services_.store, view_, copies_),
      playlist_(services_.programFolder, *services_.files, *services_.ansi)
{}

MainWindowController::~MainWindowController()
{
    Form_Unload();
}

std::unique_ptr<Player> MainWindowController::CreatePlayer()
{
    std::unique_ptr<Player> player;
    if (services_.createPlayer)
        RunStep(services_.reportFailure, "creating the player",
                [&] { player = services_.createPlayer(); });
    return player;
}

bool MainWindowController::Form_Load()
{
    // 1-2: the player; without it one box, and the program ends untouched.
    iTune = CreatePlayer();
    if (!iTune) {
        view_.ShowMissingPlayerBox();
        view_.Unload();
        return false;
    }
    events_ = std::make_unique<PlayerEventHandlers>(*iTune, *this, *services_.quitQuestion);
    iTune->SetEvents(events_.get());
    if (services_.createAlerts)
        alerts_ = services_.createAlerts(*this);

    // 3-4
    bAlertChange = false;
    view_.AddTrayIcon(kApplicationTitle, kWM_MOUSEMOVE);

    // 5-8: a step that fails is reported and the start-up goes on.
    const FailureSink& report = services_.reportFailure;
    RunStep(report, "filling the controls", [this] { handlers_.FillControls(); });
    RunStep(report, "the first refresh", [this] {
        if (const auto track = iTune->CurrentTrack())
            events_->RefreshFromTrack(*track);
    });
    RunStep(report, "AppCommandMessageProcessingEnabled",
            [this] { iTune->AppCommandMessageProcessingEnabled(true); });
    RunStep(report, "the window's opacity", [this] {
        // The floor holds even when the store did not keep the raised value.
        const std::int16_t percent = std::max<std::int16_t>(
            kMainOpacityFloor,
            settings::ReadControlValue(*services_.store, settings::kMainOpacity));
        view_.SetWindowOpacity(PercentToAlpha(percent));
    });

    // 9
    loaded_ = true;
    if (view_.CheckValue(CheckBox::chkStartMinimized) != 0)
        view_.HideMinimized();
    else
        view_.ShowNormal();
    return true;
}

void MainWindowController::Form_Unload()
{
    loaded_ = false;
    // No refresh may open a popup once the window is gone.
    if (iTune)
        iTune->SetEvents(nullptr);
}

void MainWindowController::Form_MouseMove(int mouseMessage)
{
    switch (TrayActionFor(view_.State(), mouseMessage)) {
    case TrayAction::PopupMenu:
        view_.PopupTrayMenu();
        break;
    case TrayAction::ShowNormal:
        view_.ShowNormal();
        break;
    case TrayAction::None:
        break;
    }
}

void MainWindowController::Form_Resize()
{
    if (view_.State().minimized)
        view_.HideMinimized();
}

void MainWindowController::mnuShow_Click()
{
    if (view_.State().minimized)
        view_.ShowNormal();
    else
        view_.ShowAsItIs();
}

void MainWindowController::NowPlaying(std::u16string_view sArtist, std::u16string_view sAlbum,
                                      std::u16string_view sTitle, std::u16string_view sFormat,
                                      std::u16string_view sMsg)
{
    RunNowPlaying(NowPlayingRecord{std::u16string(sArtist), std::u16string(sAlbum),
                                   std::u16string(sTitle), std::u16string(sFormat),
                                   std::u16string(sMsg)},
                  *this, *services_.publisher, playlist_);
}

void MainWindowController::RecordAlertChange(PopupId alert)
{
    bAlertChange = true;
    oAlert = alert;
}

void MainWindowController::ShowTrack(std::u16string_view sAlbum, std::u16string_view sArtist,
                                     std::u16string_view sTitle)
{
    ShowText(TextBox::txtAlbum, sAlbum);
    ShowText(TextBox::txtArtist, sArtist);
    ShowText(TextBox::txtTitle, sTitle);
}

void MainWindowController::ShowStatus(std::u16string_view status)
{
    ShowText(TextBox::txtNowPlaying, status);
}

void MainWindowController::ShowText(TextBox box, std::u16string_view text)
{
    // The next track of an album keeps its album and artist: leaving those boxes alone keeps what
    // the user selected in them, and spares laying their text out again before the status goes.
    if (view_.Text(box) != text)
        view_.SetText(box, text);
}

void MainWindowController::ShowAlert(const NowPlayingRecord& record)
{
    if (alerts_)
        ShowOrUpdateAlert(*alerts_, bAlertChange, oAlert, copies_.sShowBallons, record);
}

int MainWindowController::PlaylistSwitch() const
{
    return view_.CheckValue(CheckBox::chkPlaylist);
}

std::u16string MainWindowController::PlaylistFileName() const
{
    return view_.Text(TextBox::txtPlaylist);
}

} // namespace tessaly
