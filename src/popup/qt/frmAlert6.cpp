#include "popup/qt/frmAlert6.h"

#include "common/linux/FreedMemory.h"
#include "common/qt/DialogFont.h"
#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "common/qt/QtText.h"
#include "common/qt/QtTwips.h"
#include "common/qt/SetOpacity.h"
#include "common/Settings.h"
#include "popup/AlertPlayerCall.h"
#include "popup/qt/DesktopHints.h"
#include "popup/qt/PopupArt.h"

#include <algorithm>
#include <cmath>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <unordered_map>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace tessaly;

namespace tessaly {

int FullScreenClientHeight()
{
#ifdef Q_OS_WIN
    return GetSystemMetrics(SM_CYFULLSCREEN);
#else
    // The caption bar of the desktop the popup was laid out for: with it the popup's bottom edge
    // (this height + 26 px) sits exactly on the bottom edge of the work area.
    constexpr int kCaptionBarHeight = 26;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    const QRect work = screen->availableGeometry();
    return work.y() + work.height() - kCaptionBarHeight;
#endif
}

} // namespace tessaly

namespace {

// Every popup window that exists by its id, so that an id outliving its popup names nothing. A
// reloaded window is found under its new id only.
std::unordered_map<PopupId, frmAlert6*>& LivePopups()
{
    static std::unordered_map<PopupId, frmAlert6*> live;
    return live;
}

// The application's icon at one small size, made once. A window hands its icon to the X server
// when it is created, and the scalable application icon would be rendered at every standard size
// for each popup: most of what a popup cost before its motion was made cheap.
const QIcon& PopupWindowIcon()
{
    static const QIcon icon = [] {
        const QIcon application = QGuiApplication::windowIcon();
        return application.isNull() ? QIcon() : QIcon(application.pixmap(QSize(32, 32)));
    }();
    return icon;
}

PopupId NewPopupId()
{
    static PopupId last = kNoPopup;
    return ++last;
}

// Once no popup is loaded any more, the pages the popups used go back to the system; checked
// after the events already queued, the deletion of the popup that unloaded last among them.
void ReturnFreedMemoryWhenNoPopupIsLoaded()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [] {
            const auto& live = LivePopups();
            if (std::all_of(live.begin(), live.end(),
                            [](const auto& entry) { return entry.second->IsUnloaded(); }))
                ReturnFreedMemory();
        },
        Qt::QueuedConnection);
}

// A handler run from the event loop: a failure is logged and ends there.
auto GuardedSlot(frmAlert6* form, const char* name, void (frmAlert6::*handler)())
{
    return [form, name, handler] {
        Guarded(lcPopup, name, [&] { (form->*handler)(); });
    };
}

} // namespace

frmAlert6::frmAlert6(SettingsStore& settings, AlertOwner& owner)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      settings_(settings), owner_(owner), id_(NewPopupId()),
      motion_(0, AlertMotion::kStartHeight, iAlertHeight)
{
    setObjectName(QStringLiteral("frmAlert6"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setWindowIcon(PopupWindowIcon());
    // Content() covers the whole window.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(DialogFont(false));
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::Window, QColor(0x7f, 0x9d, 0xb9));
    setPalette(colours);
    background_ = PopupPixmap(PopupPicture::Background, devicePixelRatioF());

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer3.setObjectName(QStringLiteral("Timer3"));
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer3.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(kMotionTickMs);
    Timer2.setInterval(kHoldMs);
    Timer3.setInterval(kMotionTickMs);
    connect(&Timer1, &QTimer::timeout, this,
            GuardedSlot(this, "Timer1_Timer", &frmAlert6::Timer1_Timer));
    connect(&Timer2, &QTimer::timeout, this,
            GuardedSlot(this, "Timer2_Timer", &frmAlert6::Timer2_Timer));
    connect(&Timer3, &QTimer::timeout, this,
            GuardedSlot(this, "Timer3_Timer", &frmAlert6::Timer3_Timer));

    // Several changes in one pass of the event loop go to the screen once.
    contentUpload_.setSingleShot(true);
    contentUpload_.setInterval(0);
    connect(&contentUpload_, &QTimer::timeout, this,
            GuardedSlot(this, "ShowContent", &frmAlert6::ShowContent));

    CreateControls();
    Form_Load();
    KeepOffTheTaskbar(this);
    // Last, so that a popup whose construction failed is never found.
    LivePopups().emplace(id_, this);
}

frmAlert6::~frmAlert6()
{
    ForgetResizeReports(this);
    LivePopups().erase(id_);
    if (home_)
        home_->kept_.erase(std::remove(home_->kept_.begin(), home_->kept_.end(), this),
                           home_->kept_.end());
}

void frmAlert6::Reload()
{
    if (!IsUnloaded())
        return;
    ResetControls();
    LivePopups().erase(id_);
    id_ = NewPopupId();
    holdStartsSeen_ = 0;
    closed_ = false;
    Form_Load();
    LivePopups().emplace(id_, this);
}

frmAlert6* frmAlert6::Loaded(PopupId id)
{
    const auto it = LivePopups().find(id);
    if (it == LivePopups().end() || it->second->IsUnloaded())
        return nullptr;
    return it->second;
}

void frmAlert6::CreateControls()
{
    const auto label = [this](const char* name, const QString& caption, Qt::Alignment align,
                              QRect box, bool bold) {
        auto* control = new AlertLabel(this, caption, align);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(box);
        control->setFont(DialogFont(bold));
        control->SetDrawnByWindow(true);
        connect(control, &AlertControl::ContentChanged, this, &frmAlert6::InvalidateContent);
        return control;
    };
    const auto image = [this](const QString& name, PopupPicture picture, QRect box) {
        auto* control = new AlertImage(this);
        control->setObjectName(name);
        control->setGeometry(box);
        control->SetPicture(PopupPixmap(picture, devicePixelRatioF()));
        control->SetDrawnByWindow(true);
        connect(control, &AlertControl::ContentChanged, this, &frmAlert6::InvalidateContent);
        return control;
    };
    const QString label1 = QStringLiteral("Label1");

    lblTitle = label("lblTitle", label1, Qt::AlignLeft, TwipsQRect(120, 75, 2295, 255), true);
    lblArtist = label("lblArtist", QStringLiteral("Artist:"), Qt::AlignRight,
                      TwipsQRect(195, 450, 630, 210), true);
    lbl_Artist =
        label("lbl_Artist", QString(), Qt::AlignLeft, TwipsQRect(870, 465, 2700, 240), false);
    lblAlbum = label("lblAlbum", QStringLiteral("Album:"), Qt::AlignRight,
                     TwipsQRect(195, 720, 630, 210), true);
    lbl_Album =
        label("lbl_Album", QString(), Qt::AlignLeft, TwipsQRect(870, 735, 2700, 240), false);
    lblSongTitle = label("lblSongTitle", QStringLiteral("Title:"), Qt::AlignRight,
                         TwipsQRect(195, 990, 630, 210), true);
    lbl_Title =
        label("lbl_Title", QString(), Qt::AlignLeft, TwipsQRect(870, 990, 2700, 225), false);
    // Over the rows, transparent: the message and the link area.
    lblAlert =
        label("lblAlert", QString(), Qt::AlignHCenter, TwipsQRect(210, 480, 3405, 795), false);
    lblLink = label("lblLink", label1, Qt::AlignLeft, TwipsQRect(360, 2040, 2055, 375), false);
    lblURL = label("lblURL", label1, Qt::AlignLeft, TwipsQRect(360, 2880, 2295, 375), false);

    struct ButtonDesign {
        std::array<AlertImage*, 3>* array;
        const char* name;
        PopupPicture normal;
        PopupPicture hover;
        int left, top, size;
    };
    const ButtonDesign buttons[] = {
        {&imgBack, "imgBack", PopupPicture::BackNormal, PopupPicture::BackHover, 1260, 1305, 240},
        {&imgPause, "imgPause", PopupPicture::PauseNormal, PopupPicture::PauseHover, 1650, 1275,
         315},
        {&imgForward, "imgForward", PopupPicture::ForwardNormal, PopupPicture::ForwardHover, 2130,
         1305, 240},
    };
    for (const ButtonDesign& b : buttons) {
        auto& array = *b.array;
        for (int i = 0; i < 3; ++i) {
            // The picture stores sit beside the visible button, hidden.
            const int left = b.left + i * (b.size + 45);
            array[i] = image(QStringLiteral("%1(%2)").arg(QLatin1String(b.name)).arg(i),
                             i == 2 ? b.hover : b.normal, TwipsQRect(left, b.top, b.size, b.size));
            array[i]->setVisible(i == 0);
        }
    }
    imgX = image(QStringLiteral("imgX"), PopupPicture::CloseNormal, TwipsQRect(3405, 45, 225, 240));
    imgXNormal = image(QStringLiteral("imgXNormal"), PopupPicture::CloseNormal,
                       TwipsQRect(960, 2520, 225, 240));
    imgXOver = image(QStringLiteral("imgXOver"), PopupPicture::CloseHover,
                     TwipsQRect(720, 2520, 210, 225));
    imgPointer = image(QStringLiteral("imgPointer"), PopupPicture::Pointer,
                       TwipsQRect(1920, 3600, 480, 480));
    imgXNormal->hide();
    imgXOver->hide();
    imgPointer->hide();

    const struct {
        AlertControl* control;
        void (AlertControl::*signal)();
        const char* name;
        void (frmAlert6::*handler)();
    } events[] = {
        {imgBack[0], &AlertControl::Click, "imgBack_Click", &frmAlert6::imgBack_Click},
        {imgForward[0], &AlertControl::Click, "imgForward_Click", &frmAlert6::imgForward_Click},
        {imgPause[0], &AlertControl::Click, "imgPause_Click", &frmAlert6::imgPause_Click},
        {imgX, &AlertControl::Click, "imgX_Click", &frmAlert6::imgX_Click},
        {imgBack[0], &AlertControl::MouseMove, "imgBack_MouseMove", &frmAlert6::imgBack_MouseMove},
        {imgForward[0], &AlertControl::MouseMove, "imgForward_MouseMove",
         &frmAlert6::imgForward_MouseMove},
        {imgPause[0], &AlertControl::MouseMove, "imgPause_MouseMove",
         &frmAlert6::imgPause_MouseMove},
        {imgX, &AlertControl::MouseMove, "imgX_MouseMove", &frmAlert6::imgX_MouseMove},
        {lblTitle, &AlertControl::MouseMove, "lblTitle_MouseMove", &frmAlert6::lblTitle_MouseMove},
        {lblAlert, &AlertControl::Click, "lblAlert_Click", &frmAlert6::lblAlert_Click},
    };
    for (const auto& e : events)
        connect(e.control, e.signal, this, GuardedSlot(this, e.name, e.handler));

    for (QObject* child : children()) {
        auto* control = qobject_cast<AlertControl*>(child);
        if (!control)
            continue;
        designVisible_.emplace_back(control, !control->isHidden());
        if (auto* text = qobject_cast<AlertLabel*>(control))
            designCaptions_.push_back({text, text->Caption()});
        else if (auto* image = qobject_cast<AlertImage*>(control))
            designPictures_.push_back({image, image->Picture()});
    }
}

void frmAlert6::ResetControls()
{
    for (const DesignCaption& d : designCaptions_)
        d.control->SetCaption(d.caption);
    for (const DesignPicture& d : designPictures_)
        d.control->SetPicture(d.picture);
    for (const auto& [control, visible] : designVisible_) {
        control->setVisible(visible);
        control->ForgetPress();
    }
    lblAlert->unsetCursor();
    contentDirty_ = true;
}

void frmAlert6::Form_Load()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect geometry = screen ? screen->geometry() : QRect();
    const int screenRight = PixelsToTwips(geometry.x() + geometry.width());
    placement_ = tessaly::LoadPlacement(screenRight, FullScreenClientHeight());
    motion_ = AlertMotion(placement_.top, placement_.height, iAlertHeight);
    ApplyGeometry();

    const std::u16string opacity = settings::Read(settings_, settings::kOpacity);
    if (!settings::ParseInt16(opacity))
        qCWarning(lcPopup) << "Opacity" << ToQString(opacity) << "is not a whole number; using"
                           << ToQString(settings::kOpacity.defaultText);
    const std::optional<std::int16_t> alpha = PopupAlpha(opacity);
    // An alpha that cannot be applied leaves the window opaque, as it was made; a reloaded window
    // would otherwise keep the alpha of its last life.
    if (!alpha || SetOpacity(this, *alpha) == kOpacityOutOfRange)
        setWindowOpacity(1.0);
    SyncTimers();
}

void frmAlert6::ApplyGeometry()
{
    const int left = TwipsToPixels(placement_.left);
    const int top = TwipsToPixels(motion_.Top());
    // Both edges rounded on their own, so the bottom edge stays put while the top moves.
    const QRect geometry(left, top, TwipsToPixels(placement_.width),
                         TwipsToPixels(motion_.Bottom()) - top);
    if (geometry != this->geometry())
        setGeometry(geometry);
}

void frmAlert6::SyncTimers()
{
    const auto sync = [](QTimer& timer, bool enabled) {
        if (enabled && !timer.isActive())
            timer.start();
        else if (!enabled && timer.isActive())
            timer.stop();
    };
    sync(Timer1, motion_.Timer1Enabled());
    sync(Timer3, motion_.Timer3Enabled());
    if (motion_.HoldStarts() != holdStartsSeen_ && motion_.Timer2Enabled()) {
        Timer2.start(); // starting a running timer starts its interval over
    } else {
        sync(Timer2, motion_.Timer2Enabled());
    }
    holdStartsSeen_ = motion_.HoldStarts();

    // From the first step of a slide, once the map has been reported, to its end, before the
    // window hides: a slide's resizes are set by the motion, and their reports would only wake Qt.
    const bool quiet = (Timer1.isActive() || Timer3.isActive()) && isVisible();
    if (quiet != quietResizes_) {
        quietResizes_ = quiet;
        QuietResizeReports(this, quiet);
    }
}

void frmAlert6::SetCaption(AlertText label, std::u16string_view caption)
{
    AlertLabel* control = nullptr;
    switch (label) {
    case AlertText::lblTitle:
        control = lblTitle;
        break;
    case AlertText::lbl_Artist:
        control = lbl_Artist;
        break;
    case AlertText::lbl_Album:
        control = lbl_Album;
        break;
    case AlertText::lbl_Title:
        control = lbl_Title;
        break;
    case AlertText::lblAlert:
        control = lblAlert;
        break;
    case AlertText::lblLink:
        control = lblLink;
        break;
    case AlertText::lblURL:
        control = lblURL;
        break;
    }
    if (control)
        control->SetCaption(ToQString(caption));
}

void frmAlert6::Hide(AlertPart part)
{
    QWidget* control = nullptr;
    switch (part) {
    case AlertPart::lblArtist:
        control = lblArtist;
        break;
    case AlertPart::lblAlbum:
        control = lblAlbum;
        break;
    case AlertPart::lblSongTitle:
        control = lblSongTitle;
        break;
    case AlertPart::imgBack:
        control = imgBack[0];
        break;
    case AlertPart::imgPause:
        control = imgPause[0];
        break;
    case AlertPart::imgForward:
        control = imgForward[0];
        break;
    }
    if (control)
        control->hide();
}

void frmAlert6::UseHandCursorOnMessage()
{
    lblAlert->setCursor(PopupHandCursor(imgPointer->Picture()));
}

void frmAlert6::Show()
{
    ShowContent();
    show();
}

void frmAlert6::ShowContent()
{
    contentUpload_.stop();
    const bool native = ShowAsNativeBackground(this, Content().toImage());
    if (native != nativeBackground_) {
        nativeBackground_ = native;
        // Qt's own painting would only cover the background with the same pixels, at every
        // step of the motion.
        setUpdatesEnabled(!native);
    }
}

void frmAlert6::RestartHold()
{
    motion_.RestartHold();
    SyncTimers();
}

void frmAlert6::Unload()
{
    motion_.Unload();
    SyncTimers();
    if (closed_)
        return;
    closed_ = true;
    contentUpload_.stop();
    hide();
    // Rendered again for the next popup anyway; the X server keeps the window's own copy.
    content_ = QPixmap();
    contentDirty_ = true;
    if (home_)
        home_->Release(this);
    else
        deleteLater();
    ReturnFreedMemoryWhenNoPopupIsLoaded();
}

void frmAlert6::Timer1_Timer()
{
    motion_.SlideInTick();
    ApplyGeometry();
    SyncTimers();
}

void frmAlert6::Timer2_Timer()
{
    motion_.HoldTick();
    SyncTimers();
}

void frmAlert6::Timer3_Timer()
{
    if (motion_.SlideOutTick()) {
        Unload();
        return;
    }
    ApplyGeometry();
    SyncTimers();
}

bool frmAlert6::CallPlayer(const char* operation, PlayerResult (Player::*call)())
{
    return CallAlertPlayer(owner_, operation, call, LogFailures(lcPopup));
}

void frmAlert6::imgBack_Click()
{
    TrackCommand("PreviousTrack", &Player::PreviousTrack);
}

void frmAlert6::imgForward_Click()
{
    TrackCommand("NextTrack", &Player::NextTrack);
}

void frmAlert6::TrackCommand(const char* operation, PlayerResult (Player::*call)())
{
    // The player call may run events; the popup may be gone when it returns, or its window
    // reloaded for another popup.
    const QPointer<frmAlert6> self(this);
    const PopupId id = id_;
    // Only a track change that happens updates this popup: a failed call records nothing.
    if (!CallPlayer(operation, call) || !self || self->id_ != id)
        return;
    Guarded(lcPopup, "RecordAlertChange", [&] { owner_.RecordAlertChange(id); });
}

void frmAlert6::imgPause_Click()
{
    CallPlayer("PlayPause", &Player::PlayPause);
}

void frmAlert6::imgX_Click()
{
    Unload();
}

void frmAlert6::imgBack_MouseMove()
{
    imgBack[0]->SetPicture(imgBack[2]->Picture());
}

void frmAlert6::imgForward_MouseMove()
{
    imgForward[0]->SetPicture(imgForward[2]->Picture());
}

void frmAlert6::imgPause_MouseMove()
{
    imgPause[0]->SetPicture(imgPause[2]->Picture());
}

void frmAlert6::imgX_MouseMove()
{
    imgX->SetPicture(imgXOver->Picture());
}

void frmAlert6::lblTitle_MouseMove()
{
    imgX->SetPicture(imgXNormal->Picture());
}

void frmAlert6::lblAlert_Click()
{
    if (lblLink->Caption() != ToQString(kLinkOn))
        return;
    const QUrl url = QUrl::fromUserInput(lblURL->Caption());
    if (!url.isValid() || url.isEmpty()) {
        qCWarning(lcPopup) << "the link" << lblURL->Caption() << "is not an address";
        return;
    }
    if (!QDesktopServices::openUrl(url))
        qCWarning(lcPopup) << "the desktop could not open" << url.toString();
}

void frmAlert6::Form_MouseMove()
{
    imgX->SetPicture(imgXNormal->Picture());
    imgForward[0]->SetPicture(imgForward[1]->Picture());
    imgBack[0]->SetPicture(imgBack[1]->Picture());
    imgPause[0]->SetPicture(imgPause[1]->Picture());
    RestartHold();
}

void frmAlert6::InvalidateContent()
{
    contentDirty_ = true;
    if (nativeBackground_)
        contentUpload_.start();
    else
        update();
}

const QPixmap& frmAlert6::Content()
{
    if (!contentDirty_)
        return content_;
    const qreal ratio = devicePixelRatioF();
    // Taller by a pixel than the full height, for the rounding of the window's two edges.
    const QSize size(width(), std::max(height(), TwipsToPixels(iAlertHeight) + 1));
    QPixmap content(QSize(static_cast<int>(std::ceil(size.width() * ratio)),
                          static_cast<int>(std::ceil(size.height() * ratio))));
    content.setDevicePixelRatio(ratio);
    content.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&content);
        painter.drawPixmap(0, 0, background_);
    }
    // In stacking order, as the window would paint them.
    for (QObject* child : children()) {
        auto* control = qobject_cast<AlertControl*>(child);
        if (control && !control->isHidden())
            control->RenderInto(&content, control->pos());
    }
    content_ = content;
    contentDirty_ = false;
    return content_;
}

void frmAlert6::closeEvent(QCloseEvent* event)
{
    // Closed from outside (the application closing its windows): the popup ends as by imgX.
    event->ignore();
    Guarded(lcPopup, "closeEvent", [&] { Unload(); });
}

void frmAlert6::paintEvent(QPaintEvent* event)
{
    const QPixmap& content = Content();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, 0, content);
}

void frmAlert6::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    Guarded(lcPopup, "Form_MouseMove", [&] { Form_MouseMove(); });
}

namespace tessaly {

AlertWindows::AlertWindows(SettingsStore& settings, AlertOwner& owner)
    : settings_(settings), owner_(owner)
{}

AlertWindows::~AlertWindows()
{
    for (const auto& [id, popup] : LivePopups())
        if (popup->home_ == this)
            popup->home_ = nullptr;
    for (frmAlert6* popup : std::exchange(kept_, {}))
        delete popup;
}

AlertView& AlertWindows::NewAlertView()
{
    if (!kept_.empty()) {
        frmAlert6* popup = kept_.back();
        kept_.pop_back();
        popup->Reload();
        return *popup;
    }
    auto* popup = new frmAlert6(settings_, owner_);
    popup->home_ = this;
    return *popup;
}

void AlertWindows::Release(frmAlert6* popup)
{
    if (kept_.size() < kKeptWindows && std::find(kept_.begin(), kept_.end(), popup) == kept_.end())
        kept_.push_back(popup);
    else
        popup->deleteLater();
}

} // namespace tessaly
