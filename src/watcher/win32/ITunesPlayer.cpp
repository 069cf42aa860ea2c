#include "watcher/win32/ITunesPlayer.h"

#include "common/Text.h"
#include "watcher/win32/ComSupport.h"
#include "watcher/win32/ITunesIds.h"

#include <deque>
#include <exception>
#include <ocidl.h>
#include <olectl.h>
#include <string>

namespace tessaly {

namespace {

using com::ComPtr;
using com::Variant;

// Calls that fail because the player's process is gone, not because it refused.
bool IsDisconnection(HRESULT hr)
{
    switch (hr) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
        return true;
    default:
        return false;
    }
}

// A text the player sent, cut to the players' limit.
std::u16string PlayerText(const VARIANT& value)
{
    std::u16string text = com::VariantText(value);
    text.resize(WholeCharactersWithin(text, kMaxPlayerTextUnits));
    return text;
}

class ComTrack final : public PlayerTrack {
public:
    explicit ComTrack(ComPtr<IDispatch> track) : track_(std::move(track)) {}

    std::u16string KindAsString() const override { return text(L"KindAsString"); }
    std::u16string Artist() const override { return text(L"Artist"); }
    std::u16string Album() const override { return text(L"Album"); }
    std::u16string Name() const override { return text(L"Name"); }

private:
    std::u16string text(const wchar_t* property) const
    {
        Variant value;
        if (FAILED(com::GetProperty(track_.get(), property, value.get())))
            return {};
        return PlayerText(value.value());
    }

    ComPtr<IDispatch> track_;
};

class ITunesPlayer;

// The _IiTunesEvents sink. The player owns it; COM may hold it a little longer.
class EventSink final : public IDispatch {
public:
    explicit EventSink(ITunesPlayer* owner) : owner_(owner) {}
    void detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, itunes::kDiidEvents)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

private:
    ~EventSink() = default;

    ITunesPlayer* owner_;
    ULONG references_ = 1;
};

class ITunesPlayer final : public Player {
public:
    ITunesPlayer(ComPtr<IDispatch> app, bool ownsApartment, ComPlayerErrorSink errors)
        : app_(std::move(app)), ownsApartment_(ownsApartment), errors_(std::move(errors))
    {
        sink_ = ComPtr<EventSink>::adopt(new EventSink(this));
        releaseWindow_ = CreateReleaseWindow(this);
    }

    ~ITunesPlayer() override
    {
        disconnect();
        sink_->detach();
        if (releaseWindow_ != nullptr)
            DestroyWindow(releaseWindow_);
        sink_.reset();
        if (ownsApartment_)
            CoUninitialize();
    }

    // Advises the sink; false (with the reason told) when the events cannot be connected.
    HRESULT connectEvents()
    {
        ComPtr<IConnectionPointContainer> container;
        HRESULT hr = app_.queryInterface(IID_IConnectionPointContainer, container);
        if (SUCCEEDED(hr))
            hr = container->FindConnectionPoint(itunes::kDiidEvents, point_.put());
        if (SUCCEEDED(hr))
            hr = point_->Advise(sink_.get(), &cookie_);
        if (FAILED(hr)) {
            point_.reset();
            cookie_ = 0;
        }
        return hr;
    }

    void SetEvents(PlayerEvents* events) override { events_ = events; }

    std::unique_ptr<PlayerTrack> CurrentTrack() override
    {
        Variant value;
        if (!check(com::GetProperty(app_.get(), L"CurrentTrack", value.get())))
            return nullptr;
        ComPtr<IDispatch> track = com::VariantDispatch(value.value());
        if (!track)
            return nullptr;
        return std::make_unique<ComTrack>(std::move(track));
    }

    std::u16string CurrentStreamTitle() override
    {
        Variant value;
        if (!check(com::GetProperty(app_.get(), L"CurrentStreamTitle", value.get())))
            return {};
        return PlayerText(value.value());
    }

    PlayerResult AppCommandMessageProcessingEnabled(bool enabled) override
    {
        VARIANT value;
        VariantInit(&value);
        V_VT(&value) = VT_BOOL;
        V_BOOL(&value) = enabled ? VARIANT_TRUE : VARIANT_FALSE;
        return result(com::PutProperty(app_.get(), L"AppCommandMessageProcessingEnabled", value));
    }
    PlayerResult PreviousTrack() override { return call(L"PreviousTrack"); }
    PlayerResult NextTrack() override { return call(L"NextTrack"); }
    PlayerResult PlayPause() override { return call(L"PlayPause"); }

    void onEvent(DISPID id, ComPtr<IDispatch> track);
    void disconnect();

private:
    struct Pending {
        DISPID id;
        ComPtr<IDispatch> track;
    };

    static constexpr UINT kReleaseMessage = WM_APP + 1;
    static HWND CreateReleaseWindow(ITunesPlayer* player);
    static LRESULT CALLBACK ReleaseWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    PlayerResult call(const wchar_t* method) { return result(com::CallMethod(app_.get(), method)); }
    PlayerResult result(HRESULT hr)
    {
        if (!app_)
            return PlayerResult::NoPlayer;
        if (SUCCEEDED(hr))
            return PlayerResult::Ok;
        if (IsDisconnection(hr)) {
            disconnect();
            return PlayerResult::NoPlayer;
        }
        return PlayerResult::Failed;
    }
    bool check(HRESULT hr) { return result(hr) == PlayerResult::Ok; }
    void deliver(const Pending& event);
    void report(std::string_view what) const
    {
        if (errors_)
            errors_(what);
    }

    ComPtr<IDispatch> app_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    ComPtr<EventSink> sink_;
    PlayerEvents* events_ = nullptr;
    bool ownsApartment_;
    ComPlayerErrorSink errors_;
    HWND releaseWindow_ = nullptr;
    std::deque<Pending> pending_;
    bool delivering_ = false;
};

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                            VARIANT*, EXCEPINFO*, UINT*)
{
    if (owner_ == nullptr)
        return S_OK;
    ComPtr<IDispatch> track;
    if (params != nullptr && params->cArgs > 0 && params->rgvarg != nullptr)
        track = com::VariantDispatch(params->rgvarg[params->cArgs - 1]);
    owner_->onEvent(id, std::move(track));
    return S_OK;
}

void ITunesPlayer::onEvent(DISPID id, ComPtr<IDispatch> track)
{
    switch (id) {
    case itunes::kOnPlayerPlayEvent:
    case itunes::kOnPlayerPlayingTrackChangedEvent:
    case itunes::kOnCOMCallsEnabledEvent:
    case itunes::kOnQuittingEvent:
    case itunes::kOnAboutToPromptUserToQuitEvent:
        break;
    default:
        return; // iTunes has more events than Tessaly listens to
    }
    // A handler that calls the player lets COM deliver the next event inside it; queue it so
    // that handlers still run one at a time, in order.
    pending_.push_back({id, std::move(track)});
    if (delivering_)
        return;
    delivering_ = true;
    while (!pending_.empty()) {
        const Pending event = std::move(pending_.front());
        pending_.pop_front();
        deliver(event);
    }
    delivering_ = false;
}

void ITunesPlayer::deliver(const Pending& event)
{
    try {
        if (events_ != nullptr) {
            switch (event.id) {
            case itunes::kOnPlayerPlayEvent:
                events_->OnPlayerPlayEvent(ComTrack(event.track));
                break;
            case itunes::kOnPlayerPlayingTrackChangedEvent:
                events_->OnPlayerPlayingTrackChangedEvent(ComTrack(event.track));
                break;
            case itunes::kOnCOMCallsEnabledEvent:
                events_->OnCOMCallsEnabledEvent();
                break;
            case itunes::kOnQuittingEvent:
                events_->OnQuittingEvent();
                break;
            case itunes::kOnAboutToPromptUserToQuitEvent:
                events_->OnAboutToPromptUserToQuitEvent();
                break;
            default:
                break;
            }
        }
    } catch (const std::exception& e) {
        report(std::string("player event handler failed: ") + e.what());
    } catch (...) {
        report("player event handler failed");
    }
    // iTunes waits for its clients to let go before it quits; let go once this event call has
    // returned to it.
    if (event.id == itunes::kOnQuittingEvent && releaseWindow_ != nullptr)
        PostMessageW(releaseWindow_, kReleaseMessage, 0, 0);
    else if (event.id == itunes::kOnQuittingEvent)
        disconnect();
}

void ITunesPlayer::disconnect()
{
    if (point_ && cookie_ != 0)
        point_->Unadvise(cookie_);
    point_.reset();
    cookie_ = 0;
    app_.reset();
    // Drops whatever references the player's process still holds on the sink.
    if (sink_)
        CoDisconnectObject(sink_.get(), 0);
}

HWND ITunesPlayer::CreateReleaseWindow(ITunesPlayer* player)
{
    static constexpr wchar_t kClassName[] = L"TessalyITunesRelease";
    static const bool registered = [] {
        WNDCLASSW description{};
        description.lpfnWndProc = ReleaseWindowProc;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = kClassName;
        return RegisterClassW(&description) != 0;
    }();
    if (!registered)
        return nullptr;
    HWND hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (hwnd != nullptr)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(player));
    return hwnd;
}

LRESULT CALLBACK ITunesPlayer::ReleaseWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == kReleaseMessage) {
        if (auto* player = reinterpret_cast<ITunesPlayer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            player->disconnect();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::string HresultText(HRESULT hr)
{
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

} // namespace

ComPlayerCreation CreateComPlayer(const wchar_t* progId, ComPlayerErrorSink errors)
{
    ComPlayerCreation creation;
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Another apartment model on this thread is the caller's business; COM still works in it.
    const bool ownsApartment = SUCCEEDED(init);

    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    ComPtr<IDispatch> app;
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, app.putVoid());
    creation.hresult = hr;
    if (FAILED(hr)) {
        creation.cannotCreate = hr == REGDB_E_CLASSNOTREG || hr == CO_E_CLASSSTRING;
        if (ownsApartment)
            CoUninitialize();
        return creation;
    }

    auto player = std::make_unique<ITunesPlayer>(std::move(app), ownsApartment, errors);
    if (const HRESULT connected = player->connectEvents(); FAILED(connected) && errors)
        errors("cannot connect to the player's events: " + HresultText(connected));
    creation.player = std::move(player);
    return creation;
}

std::unique_ptr<Player> CreateITunesPlayer(ComPlayerErrorSink errors)
{
    return CreateComPlayer(itunes::kProgId, std::move(errors)).player;
}

} // namespace tessaly
