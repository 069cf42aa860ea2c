#include "shell/qt/frmMain.h"

#include "about/qt/frmAbout.h"
#include "common/qt/DialogFont.h"
#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "common/qt/QtText.h"
#include "common/qt/QtTwips.h"
#include "common/qt/SetOpacity.h"
#include "common/Settings.h"
#include "shell/qt/DialogControls.h"
#include "shell/qt/MessageBoxes.h"
#include "shell/qt/OpenWebPage.h"
#include "shell/qt/ProcessLifetime.h"
#include "shell/qt/SpinScrollBar.h"
#include "shell/qt/SysTray.h"
#include "shell/qt/TrayMenu.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShowEvent>
#include <QTextEdit>
#include <QTimer>

using namespace tessaly;

namespace {

ProcessLifetime::Quit QuitOrDefault(const std::function<void()>& quit)
{
    return quit ? quit : ProcessLifetime::DefaultQuit();
}

} // namespace

frmMain::frmMain(tessaly::frmMainServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)),
      lifetime_(new ProcessLifetime(
          QuitOrDefault(services_.quit),
          {QStringLiteral("frmMain"), QStringLiteral("frmAlert6"), QStringLiteral("frmAbout")},
          this)),
      controller_(services_.core, *this)
{
    BuildControls();
    ConnectHandlers();
    mnuPopup = BuildTrayMenu(this, TrayMenuCommands{
                                       [this] { mnuShow_Click(); },
                                       [this] { mnuAbout_Click(); },
                                       [this] { mnuHelp_Click(); },
                                       [this] { mnuDonate_Click(); },
                                       [this] { mnuSite_Click(); },
                                       [this] { mnuExit_Click(); },
                                   });
}

frmMain::~frmMain()
{
    controller_.Form_Unload();
    if (IsTrayIconPresent())
        RemoveTrayIcon();
}

void frmMain::BuildControls()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ToQString(kApplicationTitle));
    setFont(DialogFont(false));
    resize(TwipsToPixels(4335), TwipsToPixels(5655));

    Frame1 = NewFrame(this, "Frame1", QStringLiteral("Current"), {60, 75, 4170, 1215});
    lblArtist = NewLabel(Frame1, "lblArtist", QStringLiteral("&Artist:"), {360, 270, 540, 255},
                         Qt::AlignRight);
    txtArtist = NewTextBox(Frame1, "txtArtist", QString(), true, {945, 240, 3060, 285});
    lblAlbum = NewLabel(Frame1, "lblAlbum", QStringLiteral("A&lbum:"), {360, 540, 540, 255},
                        Qt::AlignRight);
    txtAlbum = NewTextBox(Frame1, "txtAlbum", QString(), true, {945, 525, 3060, 285});
    lblTitle = NewLabel(Frame1, "lblTitle", QStringLiteral("&Title:"), {375, 825, 540, 225},
                        Qt::AlignRight);
    txtTitle = NewTextBox(Frame1, "txtTitle", QString(), true, {945, 810, 3060, 285});
    lblArtist->setBuddy(txtArtist);
    lblAlbum->setBuddy(txtAlbum);
    lblTitle->setBuddy(txtTitle);

    Frame2 =
        NewFrame(this, "Frame2", QStringLiteral("Yahoo Messenger Status"), {75, 1335, 4170, 1980});
    lblFormatString = NewLabel(Frame2, "lblFormatString", QStringLiteral("Format String:"),
                               {150, 1320, 1125, 285});
    txtFormatString =
        NewTextBox(Frame2, "txtFormatString", ToQString(settings::kFormat.defaultText), false,
                   {1155, 1290, 2460, 300});
    txtInstructions = NewInstructions(Frame2, {270, 210, 3810, 1050});
    txtNowPlaying = NewTextBox(Frame2, "txtNowPlaying", QString(), true, {375, 1628, 3720, 285});
    txtNowPlaying->setFrame(false);
    SetBackground(txtNowPlaying, QPalette::Button);
    Label3 = NewLabel(Frame2, "Label3", QStringLiteral("Ex:"), {120, 1650, 300, 240});

    Frame3 = NewFrame(this, "Frame3", QStringLiteral("Notifications"), {75, 3360, 4170, 900});
    chkShowBallons = NewCheckBox(Frame3, "chkShowBallons", QStringLiteral("   Show Notifications"),
                                 {315, 255, 1755, 270});
    Label2 = NewLabel(Frame3, "Label2", QStringLiteral("Opacity"), {1245, 555, 585, 210});
    txtOpacity =
        NewTextBox(Frame3, "txtOpacity", QStringLiteral("80"), true, {1875, 525, 390, 285});
    VSOpacity = Named(new SpinScrollBar(0, 100, 80, Frame3), "VSOpacity");
    Place(VSOpacity, {2265, 525, 150, 270});

    Frame4 = NewFrame(this, "Frame4", QStringLiteral("General"), {90, 4245, 4140, 1335});
    chkStartMinimized = NewCheckBox(Frame4, "chkStartMinimized", QStringLiteral(" Start Minimized"),
                                    {600, 180, 1440, 270});
    lblMainOpacity =
        NewLabel(Frame4, "lblMainOpacity", QStringLiteral("Opacity"), {1215, 495, 585, 210});
    txtMainOpacity =
        NewTextBox(Frame4, "txtMainOpacity", QStringLiteral("80"), true, {1845, 465, 390, 285});
    VSMainOpacity = Named(new SpinScrollBar(0, 100, 80, Frame4), "VSMainOpacity");
    Place(VSMainOpacity, {2235, 465, 150, 270});
    chkPlaylist = NewCheckBox(Frame4, "chkPlaylist", QStringLiteral("Radio: Save Playlist"),
                              {315, 750, 1725, 255});
    lblFileName =
        NewLabel(Frame4, "lblFileName", QStringLiteral("File Name"), {1035, 1050, 810, 195});
    txtPlaylist = NewTextBox(Frame4, "txtPlaylist", ToQString(settings::kPlaylistFile.defaultText),
                             false, {1830, 1020, 1740, 270});

    QWidget* const order[] = {txtArtist,       txtAlbum,      txtTitle,       txtFormatString,
                              txtInstructions, txtNowPlaying, chkShowBallons, chkStartMinimized,
                              txtOpacity,      VSOpacity,     VSMainOpacity,  txtMainOpacity,
                              chkPlaylist,     txtPlaylist};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmMain::ConnectHandlers()
{
    ConfigHandlers& rules = controller_.Handlers();
    const auto forward = [this, &rules](auto* sender, auto signal, const char* name,
                                        void (ConfigHandlers::*handler)()) {
        connect(sender, signal, this,
                [&rules, name, handler] { Guarded(lcShell, name, [&] { (rules.*handler)(); }); });
    };
    forward(chkShowBallons, &QCheckBox::stateChanged, "chkShowBallons_Click",
            &ConfigHandlers::chkShowBallons_Click);
    forward(chkStartMinimized, &QCheckBox::stateChanged, "chkStartMinimized_Click",
            &ConfigHandlers::chkStartMinimized_Click);
    forward(chkPlaylist, &QCheckBox::stateChanged, "chkPlaylist_Click",
            &ConfigHandlers::chkPlaylist_Click);
    forward(txtFormatString, &QLineEdit::textChanged, "txtFormatString_Change",
            &ConfigHandlers::txtFormatString_Change);
    forward(txtPlaylist, &QLineEdit::textChanged, "txtPlaylist_Change",
            &ConfigHandlers::txtPlaylist_Change);
    forward(VSOpacity, &SpinScrollBar::Change, "VSOpacity_Change",
            &ConfigHandlers::VSOpacity_Change);
    forward(VSMainOpacity, &SpinScrollBar::Change, "VSMainOpacity_Change",
            &ConfigHandlers::VSMainOpacity_Change);
}

QCheckBox* frmMain::Box(tessaly::CheckBox box) const
{
    QCheckBox* const boxes[] = {chkShowBallons, chkStartMinimized, chkPlaylist};
    return boxes[static_cast<int>(box)];
}

SpinScrollBar* frmMain::Spin(SpinControl spin) const
{
    return spin == SpinControl::VSOpacity ? VSOpacity : VSMainOpacity;
}

QLineEdit* frmMain::Line(TextBox box) const
{
    QLineEdit* const boxes[] = {txtArtist,     txtAlbum,   txtTitle,       txtFormatString,
                                txtNowPlaying, txtOpacity, txtMainOpacity, txtPlaylist};
    return boxes[static_cast<int>(box)];
}

int frmMain::CheckValue(tessaly::CheckBox box) const
{
    switch (Box(box)->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

int frmMain::SpinValue(SpinControl spin) const
{
    return Spin(spin)->Value();
}

std::u16string frmMain::Text(TextBox box) const
{
    return ToU16(Line(box)->text());
}

void frmMain::SetCheckValue(tessaly::CheckBox box, int value)
{
    Box(box)->setCheckState(value == 1   ? Qt::Checked
                            : value == 2 ? Qt::PartiallyChecked
                                         : Qt::Unchecked);
}

void frmMain::SetSpinValue(SpinControl spin, int value)
{
    Spin(spin)->SetValue(value);
}

void frmMain::SetText(TextBox box, std::u16string_view text)
{
    QLineEdit* line = Line(box);
    line->setText(ToQString(text));
    // A read-only box shows the start of a long text, as a fresh text box does.
    if (line->isReadOnly())
        line->setCursorPosition(0);
}

void frmMain::SetWindowOpacity(std::int16_t alpha)
{
    SetOpacity(this, alpha);
}

void frmMain::ShowMissingPlayerBox()
{
    if (services_.showMissingPlayerBox)
        services_.showMissingPlayerBox();
    else
        tessaly::ShowMissingPlayerBox();
}

void frmMain::AddTrayIcon(std::u16string_view tip, int callbackMessage)
{
    tessaly::AddTrayIcon(
        this, windowIcon(), ToQString(tip), callbackMessage,
        [this](int mouseMessage) { Form_MouseMove(mouseMessage); }, mnuPopup);
}

WindowState frmMain::State() const
{
    const Qt::WindowStates state = windowState();
    return {state.testFlag(Qt::WindowMinimized),
            (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0};
}

void frmMain::HideMinimized()
{
    if (!shownOnce_) {
        // Never shown yet (a minimised start): only the widget learns the state. Told to the
        // native window, it would map iconic on the first restore and stay invisible.
        if (!isMinimized())
            overrideWindowState(windowState() | Qt::WindowMinimized);
    } else {
        setWindowState(windowState() | Qt::WindowMinimized);
    }
    hide();
}

void frmMain::ShowNormal()
{
    setWindowState(Qt::WindowNoState);
    ShowAsItIs();
}

void frmMain::ShowAsItIs()
{
    show();
    raise();
    activateWindow();
}

void frmMain::PopupTrayMenu()
{
    // A StatusNotifierItem host names the place (ContextMenu(x, y)); an XEmbed click is under
    // the pointer.
    if (mnuPopup)
        mnuPopup->popup(TakeContextMenuRequest().value_or(QCursor::pos()));
}

void frmMain::Form_MouseMove(int mouseMessage)
{
    Guarded(lcShell, "Form_MouseMove", [&] { controller_.Form_MouseMove(mouseMessage); });
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    shownOnce_ = true;
    // Start-up time is measured to this line (QT_LOGGING_RULES="tessaly.shell.debug=true").
    if (!event->spontaneous())
        qCDebug(lcShell) << "window shown";
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Hiding from inside the state change confuses some window managers: do it right after.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] {
            Guarded(lcShell, "Form_Resize", [this] { controller_.Form_Resize(); });
        });
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Form_QueryUnload: every unload, whatever its cause, takes the icon away and goes ahead.
    Guarded(lcShell, "Form_QueryUnload", [] {
        if (IsTrayIconPresent())
            RemoveTrayIcon();
    });
    event->accept();
    Unload();
}

void frmMain::Unload()
{
    controller_.Form_Unload();
    if (mnuPopup)
        mnuPopup->close();
    lifetime_->EndWhenNoWindowLeft();
}

void frmMain::mnuShow_Click()
{
    Guarded(lcShell, "mnuShow_Click", [this] { controller_.mnuShow_Click(); });
}

void frmMain::mnuAbout_Click()
{
    Guarded(lcShell, "mnuAbout_Click", [] { frmAbout::ShowShared(); });
}

void frmMain::mnuHelp_Click()
{
    Guarded(lcShell, "mnuHelp_Click", [] { OpenWebPage(web::SupportForumPage(), kSW_SHOWNORMAL); });
}

void frmMain::mnuDonate_Click()
{
    Guarded(lcShell, "mnuDonate_Click", [] { OpenWebPage(web::DonationPage(), kSW_SHOWNORMAL); });
}

void frmMain::mnuSite_Click()
{
    Guarded(lcShell, "mnuSite_Click", [] { OpenWebPage(web::HomePage(), kSW_SHOWNORMAL); });
}

void frmMain::mnuExit_Click()
{
    Guarded(lcShell, "mnuExit_Click", [this] {
        if (IsTrayIconPresent())
            RemoveTrayIcon();
        close();
    });
}
