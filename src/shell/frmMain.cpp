#include "shell/frmMain.h"

#include "about/frmAbout.h"
#include "publisher/StatusPublisher.h"
#include "shell/Logging.h"
#include "shell/Opacity.h"
#include "shell/ProcessLifetime.h"
#include "shell/SettingsModel.h"
#include "shell/SettingsStore.h"
#include "shell/SpinScrollBar.h"
#include "shell/SysTray.h"
#include "shell/TrayDispatch.h"
#include "shell/TrayMenu.h"
#include "shell/Twips.h"
#include "shell/WebPages.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QShowEvent>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <stdexcept>

namespace tessaly {

void ShowMissingPlayerBox()
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Critcal Error"),
                    QStringLiteral("iTunes is not installed or improperly registered. Please "
                                   "install or repair your iTunes installation"),
                    QMessageBox::Ok);
    box.exec();
}

} // namespace tessaly

namespace {

using namespace tessaly;
namespace keys = tessaly::settings;

constexpr int kMainOpacityFloor = 20;
constexpr char16_t kTitle[] = u"Tessaly";
constexpr char kInstructions[] = "Specify the format of the status display:\r\n   %A - Artist\r\n"
                                 "   %L - Album\r\n   %T - Title\r\nex. %L: %A - %T\r\n";

// Runs one handler; a failure is logged and ends only that handler.
template <typename F> void Guarded(const char* handler, F&& body) noexcept
{
    try {
        body();
    } catch (const std::exception& e) {
        qCWarning(lcShell) << handler << "failed:" << e.what();
    } catch (...) {
        qCWarning(lcShell) << handler << "failed";
    }
}

// A click toggles between clear and ticked; grey (2) comes only from a stored value.
class ToggleCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
    }
};

int CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

// Sets a check box from its stored number; its handler runs even when the value stays.
template <typename Handler> void FillCheck(QCheckBox* box, int value, Handler handler)
{
    const Qt::CheckState state = value == 1   ? Qt::Checked
                                 : value == 2 ? Qt::PartiallyChecked
                                              : Qt::Unchecked;
    if (box->checkState() == state)
        handler();
    else
        box->setCheckState(state);
}

template <typename Handler> void FillText(QLineEdit* box, const QString& text, Handler handler)
{
    if (box->text() == text)
        handler();
    else
        box->setText(text);
}

template <typename Handler> void FillSpin(SpinScrollBar* spin, int value, Handler handler)
{
    if (spin->Value() == value)
        handler();
    else
        spin->SetValue(value);
}

void Place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(TwipsRect(left, top, width, height));
}

QFont DialogFont(bool bold)
{
    // The dialog font is rarely installed; the nearest in width, before fontconfig's generic
    // choice, which is much wider and clips the captions.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"),
                                    QStringLiteral("Tahoma"), QStringLiteral("Arial"),
                                    QStringLiteral("Liberation Sans"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QGroupBox* NewFrame(QWidget* parent, const char* name, const QString& caption)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFont(DialogFont(true));
    return frame;
}

template <typename W> W* Named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    // Frames are bold; their controls are not.
    w->setFont(DialogFont(false));
    return w;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption,
                 Qt::Alignment align = Qt::AlignLeft)
{
    auto* label = Named(new QLabel(caption, parent), name);
    label->setAlignment(align | Qt::AlignTop);
    return label;
}

void SetBackground(QWidget* w, QPalette::ColorRole role)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, palette.color(role));
    w->setPalette(palette);
}

QLineEdit* NewTextBox(QWidget* parent, const char* name, const QString& text, bool readOnly)
{
    auto* box = Named(new QLineEdit(text, parent), name);
    box->setReadOnly(readOnly);
    if (readOnly)
        SetBackground(box, QPalette::Light);
    return box;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = Named(new ToggleCheckBox(caption, parent), name);
    // The box stands to the right of its caption.
    box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

} // namespace

frmMain::frmMain(tessaly::frmMainServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), playlist_(services_.programFolder),
      lifetime_(new ProcessLifetime(
          services_.quit ? services_.quit : ProcessLifetime::DefaultQuit(),
          {QStringLiteral("frmMain"), QStringLiteral("frmAlert6"), QStringLiteral("frmAbout")},
          this))
{
    if (!services_.store || !services_.publisher)
        throw std::invalid_argument("frmMain needs a settings store and a status publisher");
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
    if (iTune)
        iTune->SetEvents(nullptr);
    if (IsTrayIconPresent())
        RemoveTrayIcon();
}

void frmMain::BuildControls()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf16(kTitle));
    setFont(DialogFont(false));
    resize(TwipsToPixels(4335), TwipsToPixels(5655));

    Frame1 = NewFrame(this, "Frame1", QStringLiteral("Current"));
    Place(Frame1, 60, 75, 4170, 1215);
    lblArtist = NewLabel(Frame1, "lblArtist", QStringLiteral("&Artist:"), Qt::AlignRight);
    Place(lblArtist, 360, 270, 540, 255);
    txtArtist = NewTextBox(Frame1, "txtArtist", QString(), true);
    Place(txtArtist, 945, 240, 3060, 285);
    lblAlbum = NewLabel(Frame1, "lblAlbum", QStringLiteral("A&lbum:"), Qt::AlignRight);
    Place(lblAlbum, 360, 540, 540, 255);
    txtAlbum = NewTextBox(Frame1, "txtAlbum", QString(), true);
    Place(txtAlbum, 945, 525, 3060, 285);
    lblTitle = NewLabel(Frame1, "lblTitle", QStringLiteral("&Title:"), Qt::AlignRight);
    Place(lblTitle, 375, 825, 540, 225);
    txtTitle = NewTextBox(Frame1, "txtTitle", QString(), true);
    Place(txtTitle, 945, 810, 3060, 285);
    lblArtist->setBuddy(txtArtist);
    lblAlbum->setBuddy(txtAlbum);
    lblTitle->setBuddy(txtTitle);

    Frame2 = NewFrame(this, "Frame2", QStringLiteral("Yahoo Messenger Status"));
    Place(Frame2, 75, 1335, 4170, 1980);
    lblFormatString = NewLabel(Frame2, "lblFormatString", QStringLiteral("Format String:"));
    Place(lblFormatString, 150, 1320, 1125, 285);
    txtFormatString =
        NewTextBox(Frame2, "txtFormatString", QString::fromUtf8(keys::kFormat.defaultText), false);
    Place(txtFormatString, 1155, 1290, 2460, 300);
    txtInstructions = Named(new QTextEdit(Frame2), "txtInstructions");
    txtInstructions->setAcceptRichText(false);
    txtInstructions->setPlainText(
        QString::fromLatin1(kInstructions).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    txtInstructions->setFrameShape(QFrame::NoFrame);
    // Five lines fill the box, as they do in the dialog font; substitutes run taller.
    txtInstructions->document()->setDocumentMargin(0);
    {
        QTextCursor all(txtInstructions->document());
        all.select(QTextCursor::Document);
        QTextBlockFormat lines;
        lines.setLineHeight(TwipsToPixels(1050) / 5.0, QTextBlockFormat::FixedHeight);
        all.mergeBlockFormat(lines);
    }
    txtInstructions->setTabChangesFocus(true);
    txtInstructions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtInstructions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBackground(txtInstructions, QPalette::Button);
    Place(txtInstructions, 270, 210, 3810, 1050);
    txtNowPlaying = NewTextBox(Frame2, "txtNowPlaying", QString(), true);
    txtNowPlaying->setFrame(false);
    SetBackground(txtNowPlaying, QPalette::Button);
    Place(txtNowPlaying, 375, 1628, 3720, 285);
    Label3 = NewLabel(Frame2, "Label3", QStringLiteral("Ex:"));
    Place(Label3, 120, 1650, 300, 240);

    Frame3 = NewFrame(this, "Frame3", QStringLiteral("Notifications"));
    Place(Frame3, 75, 3360, 4170, 900);
    chkShowBallons = NewCheckBox(Frame3, "chkShowBallons", QStringLiteral("   Show Notifications"));
    Place(chkShowBallons, 315, 255, 1755, 270);
    Label2 = NewLabel(Frame3, "Label2", QStringLiteral("Opacity"));
    Place(Label2, 1245, 555, 585, 210);
    txtOpacity = NewTextBox(Frame3, "txtOpacity", QStringLiteral("80"), true);
    Place(txtOpacity, 1875, 525, 390, 285);
    VSOpacity = Named(new SpinScrollBar(0, 100, 80, Frame3), "VSOpacity");
    Place(VSOpacity, 2265, 525, 150, 270);

    Frame4 = NewFrame(this, "Frame4", QStringLiteral("General"));
    Place(Frame4, 90, 4245, 4140, 1335);
    chkStartMinimized =
        NewCheckBox(Frame4, "chkStartMinimized", QStringLiteral(" Start Minimized"));
    Place(chkStartMinimized, 600, 180, 1440, 270);
    lblMainOpacity = NewLabel(Frame4, "lblMainOpacity", QStringLiteral("Opacity"));
    Place(lblMainOpacity, 1215, 495, 585, 210);
    txtMainOpacity = NewTextBox(Frame4, "txtMainOpacity", QStringLiteral("80"), true);
    Place(txtMainOpacity, 1845, 465, 390, 285);
    VSMainOpacity = Named(new SpinScrollBar(0, 100, 80, Frame4), "VSMainOpacity");
    Place(VSMainOpacity, 2235, 465, 150, 270);
    chkPlaylist = NewCheckBox(Frame4, "chkPlaylist", QStringLiteral("Radio: Save Playlist"));
    Place(chkPlaylist, 315, 750, 1725, 255);
    lblFileName = NewLabel(Frame4, "lblFileName", QStringLiteral("File Name"));
    Place(lblFileName, 1035, 1050, 810, 195);
    txtPlaylist = NewTextBox(Frame4, "txtPlaylist",
                             QString::fromUtf8(keys::kPlaylistFile.defaultText), false);
    Place(txtPlaylist, 1830, 1020, 1740, 270);

    const QWidget* order[] = {txtArtist,       txtAlbum,      txtTitle,       txtFormatString,
                              txtInstructions, txtNowPlaying, chkShowBallons, chkStartMinimized,
                              txtOpacity,      VSOpacity,     VSMainOpacity,  txtMainOpacity,
                              chkPlaylist,     txtPlaylist};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

void frmMain::ConnectHandlers()
{
    connect(chkShowBallons, &QCheckBox::stateChanged, this,
            [this] { Guarded("chkShowBallons_Click", [this] { chkShowBallons_Click(); }); });
    connect(chkStartMinimized, &QCheckBox::stateChanged, this,
            [this] { Guarded("chkStartMinimized_Click", [this] { chkStartMinimized_Click(); }); });
    connect(chkPlaylist, &QCheckBox::stateChanged, this,
            [this] { Guarded("chkPlaylist_Click", [this] { chkPlaylist_Click(); }); });
    connect(txtFormatString, &QLineEdit::textChanged, this,
            [this] { Guarded("txtFormatString_Change", [this] { txtFormatString_Change(); }); });
    connect(txtPlaylist, &QLineEdit::textChanged, this,
            [this] { Guarded("txtPlaylist_Change", [this] { txtPlaylist_Change(); }); });
    connect(VSOpacity, &SpinScrollBar::Change, this,
            [this] { Guarded("VSOpacity_Change", [this] { VSOpacity_Change(); }); });
    connect(VSMainOpacity, &SpinScrollBar::Change, this,
            [this] { Guarded("VSMainOpacity_Change", [this] { VSMainOpacity_Change(); }); });
}

bool frmMain::Form_Load()
{
    // 1-2: the player; without it one box, and the program ends untouched.
    try {
        if (services_.createPlayer)
            iTune = services_.createPlayer();
    } catch (const std::exception& e) {
        qCWarning(lcShell) << "creating the player failed:" << e.what();
        iTune.reset();
    } catch (...) {
        qCWarning(lcShell) << "creating the player failed";
        iTune.reset();
    }
    if (!iTune) {
        services_.showMissingPlayerBox();
        Unload();
        return false;
    }
    handlers_ = std::make_unique<PlayerEventHandlers>(*iTune, *this, services_.askShutdown);
    iTune->SetEvents(handlers_.get());
    if (services_.createAlerts)
        alerts_ = services_.createAlerts(*this);

    // 3-4
    bAlertChange = false;
    AddTrayIcon(this, windowIcon(), QString::fromUtf16(kTitle), kWM_MOUSEMOVE,
                [this](int mouseMessage) {
                    Guarded("Form_MouseMove", [&] { Form_MouseMove(mouseMessage); });
                });

    // 5
    Guarded("filling the controls", [this] { FillControls(); });

    // 6-7: a player call that fails is logged and start-up goes on.
    Guarded("the first refresh", [this] {
        if (auto track = iTune->CurrentTrack())
            handlers_->RefreshFromTrack(*track);
    });
    Guarded("AppCommandMessageProcessingEnabled",
            [this] { iTune->AppCommandMessageProcessingEnabled(true); });

    // 8: the floor holds even when the store did not keep the raised value.
    Guarded("the window's opacity", [this] {
        const QString stored =
            services_.store->read(QString::fromLatin1(keys::kMainOpacity.name),
                                  QString::fromLatin1(keys::kMainOpacity.defaultText));
        const std::int16_t percent = std::max<std::int16_t>(
            kMainOpacityFloor, keys::ToControlValue(stored, keys::kMainOpacity));
        SetOpacity(this, PercentToAlpha(percent));
    });

    // 9
    loaded_ = true;
    if (CheckValue(chkStartMinimized) != 0) {
        setWindowState(Qt::WindowMinimized);
        hide();
    } else {
        setWindowState(Qt::WindowNoState);
        show();
    }
    return true;
}

void frmMain::FillControls()
{
    SettingsStore& store = *services_.store;
    const auto read = [&store](const keys::Key& key) {
        return store.read(QString::fromLatin1(key.name), QString::fromUtf8(key.defaultText));
    };
    const auto number = [&read](const keys::Key& key) {
        return keys::ToControlValue(read(key), key);
    };

    FillCheck(chkStartMinimized, number(keys::kMinimized), [this] { chkStartMinimized_Click(); });
    FillCheck(chkShowBallons, number(keys::kBallons), [this] { chkShowBallons_Click(); });
    sShowBallons = QString::number(CheckValue(chkShowBallons));
    txtOpacity->setText(read(keys::kOpacity));
    FillSpin(VSOpacity, number(keys::kOpacity), [this] { VSOpacity_Change(); });
    FillSpin(VSMainOpacity, number(keys::kMainOpacity), [this] { VSMainOpacity_Change(); });
    // Read again: the handler may have raised the value.
    txtMainOpacity->setText(read(keys::kMainOpacity));
    FillCheck(chkPlaylist, number(keys::kRadioPlayList), [this] { chkPlaylist_Click(); });
    FillText(txtPlaylist, read(keys::kPlaylistFile), [this] { txtPlaylist_Change(); });
    sFormatString = read(keys::kFormat);
    FillText(txtFormatString, sFormatString, [this] { txtFormatString_Change(); });
}

void frmMain::chkShowBallons_Click()
{
    const QString value = QString::number(CheckValue(chkShowBallons));
    services_.store->write(QString::fromLatin1(keys::kBallons.name), value);
    sShowBallons = value;
}

void frmMain::chkStartMinimized_Click()
{
    services_.store->write(QString::fromLatin1(keys::kMinimized.name),
                           QString::number(CheckValue(chkStartMinimized)));
}

void frmMain::chkPlaylist_Click()
{
    services_.store->write(QString::fromLatin1(keys::kRadioPlayList.name),
                           QString::number(CheckValue(chkPlaylist)));
}

void frmMain::txtFormatString_Change()
{
    const QString text = txtFormatString->text();
    services_.store->write(QString::fromLatin1(keys::kFormat.name), text);
    sFormatString = text;
}

void frmMain::txtPlaylist_Change()
{
    services_.store->write(QString::fromLatin1(keys::kPlaylistFile.name), txtPlaylist->text());
}

void frmMain::VSOpacity_Change()
{
    const QString value = QString::number(VSOpacity->Value());
    txtOpacity->setText(value);
    services_.store->write(QString::fromLatin1(keys::kOpacity.name), value);
}

void frmMain::VSMainOpacity_Change()
{
    if (VSMainOpacity->Value() < kMainOpacityFloor) {
        // Runs this handler again, for the floor, before going on.
        VSMainOpacity->SetValue(kMainOpacityFloor);
        txtMainOpacity->setText(QString::number(kMainOpacityFloor));
    }
    const int value = VSMainOpacity->Value();
    txtMainOpacity->setText(QString::number(value));
    services_.store->write(QString::fromLatin1(keys::kMainOpacity.name), QString::number(value));
    SetOpacity(this, PercentToAlpha(static_cast<std::int16_t>(value)));
}

void frmMain::NowPlaying(const QString& sArtist, const QString& sAlbum, const QString& sTitle,
                         const QString& sFormat, const QString& sMsg)
{
    RunNowPlaying(NowPlayingRecord{sArtist, sAlbum, sTitle, sFormat, sMsg}, *this,
                  *services_.publisher, playlist_);
}

void frmMain::ShowTrack(const QString& sAlbum, const QString& sArtist, const QString& sTitle)
{
    txtAlbum->setText(sAlbum);
    txtArtist->setText(sArtist);
    txtTitle->setText(sTitle);
}

void frmMain::ShowStatus(const QString& status)
{
    txtNowPlaying->setText(status);
}

void frmMain::ShowAlert(const tessaly::NowPlayingRecord& record)
{
    if (alerts_)
        ShowOrUpdateAlert(*alerts_, bAlertChange, oAlert.data(), sShowBallons, record);
}

int frmMain::PlaylistSwitch() const
{
    return CheckValue(chkPlaylist);
}

QString frmMain::PlaylistFileName() const
{
    return txtPlaylist->text();
}

void frmMain::RecordAlertChange(QWidget* alert)
{
    bAlertChange = true;
    oAlert = alert;
}

void frmMain::Form_MouseMove(int mouseMessage)
{
    switch (TrayActionFor(windowState(), mouseMessage)) {
    case TrayAction::PopupMenu:
        if (mnuPopup)
            mnuPopup->popup(QCursor::pos());
        break;
    case TrayAction::ShowNormal:
        setWindowState(Qt::WindowNoState);
        show();
        raise();
        activateWindow();
        break;
    case TrayAction::None:
        break;
    }
}

void frmMain::Form_Resize()
{
    if (isMinimized())
        hide();
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Start-up time is measured to this line (QT_LOGGING_RULES="tessaly.shell.debug=true").
    if (!event->spontaneous())
        qCDebug(lcShell) << "window shown";
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Hiding from inside the state change confuses some window managers: do it right after.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] { Guarded("Form_Resize", [this] { Form_Resize(); }); });
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Form_QueryUnload: every unload, whatever its cause, takes the icon away and goes ahead.
    Guarded("Form_QueryUnload", [] {
        if (IsTrayIconPresent())
            RemoveTrayIcon();
    });
    event->accept();
    Unload();
}

void frmMain::Unload()
{
    loaded_ = false;
    // No refresh may open a popup once the window is gone.
    if (iTune)
        iTune->SetEvents(nullptr);
    if (mnuPopup)
        mnuPopup->close();
    lifetime_->EndWhenNoWindowLeft();
}

void frmMain::mnuShow_Click()
{
    if (isMinimized())
        setWindowState(Qt::WindowNoState);
    show();
    raise();
    activateWindow();
}

void frmMain::mnuAbout_Click()
{
    Guarded("mnuAbout_Click", [] { frmAbout::ShowShared(); });
}

void frmMain::mnuHelp_Click()
{
    Guarded("mnuHelp_Click", [] { OpenWebPage(web::SupportForumPage(), kSW_SHOWNORMAL); });
}

void frmMain::mnuDonate_Click()
{
    Guarded("mnuDonate_Click", [] { OpenWebPage(web::DonationPage(), kSW_SHOWNORMAL); });
}

void frmMain::mnuSite_Click()
{
    Guarded("mnuSite_Click", [] { OpenWebPage(web::HomePage(), kSW_SHOWNORMAL); });
}

void frmMain::mnuExit_Click()
{
    Guarded("mnuExit_Click", [this] {
        if (IsTrayIconPresent())
            RemoveTrayIcon();
        close();
    });
}
