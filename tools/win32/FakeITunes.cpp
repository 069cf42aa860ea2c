// tessaly-fake-itunes.exe: a COM local server that stands in for iTunes in the Wine tests. It
// registers itself as iTunes.Application, serves one application object with the operations
// Tessaly calls (late-bound, by name) and fires _IiTunesEvents through a connection point.
//
//   tessaly-fake-itunes /RegServer     registers the class (HKEY_CLASSES_ROOT) and exits
//   tessaly-fake-itunes /UnregServer   removes the registration and exits
//   tessaly-fake-itunes -Embedding     serves, as COM starts it; leaves when the last client has
//                                      let go (or after 30 s without one)
//
// Besides iTunes' own members the object has test controls, all queued and fired from the
// server's message loop as iTunes does, never inside the call that asks for them:
//   TestLoad(kind, artist, album, name)  makes that the current track (no event)
//   TestClear()                          no current track
//   TestSetStreamTitle(text)             the CurrentStreamTitle
//   TestFire(dispid)                     fires that event (the current track as argument of 2, 4)
//   TestQuit()                           fires 9 then 8, then leaves once every client let go
//   TestCalls (get)                      the operations called so far, each followed by ";"
//   TestSinks (get)                      how many sinks are connected

#include "watcher/win32/ComSupport.h"
#include "watcher/win32/ITunesIds.h"

#include <cstdio>
#include <cwchar>
#include <map>
#include <ocidl.h>
#include <olectl.h>
#include <string>
#include <vector>

namespace {

using namespace tessaly;
using com::ComPtr;

constexpr wchar_t kWindowClass[] = L"TessalyFakeITunes";
constexpr UINT kFireMessage = WM_APP + 1;
constexpr UINT kQuitMessage = WM_APP + 2;
constexpr UINT kLeaveMessage = WM_APP + 3;
constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT_PTR kQuitDeadlineTimer = 2;

HWND gWindow = nullptr;

struct TrackInfo {
    std::wstring kind, artist, album, name;
};

const TrackInfo kLibrary[] = {
    {L"MPEG audio file", L"The Testers", L"First Light", L"Opening"},
    {L"MPEG audio file", L"The Testers", L"First Light", L"Second Wind"},
    {L"MPEG audio stream", L"", L"", L"Radio Tessaly"},
};

// IDispatch over a table of member names; subclasses answer the calls.
class DispatchObject : public IDispatch {
public:
    struct Member {
        const wchar_t* name;
        DISPID id;
    };

    explicit DispatchObject(std::vector<Member> members) : members_(std::move(members)) {}
    virtual ~DispatchObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
            *object = static_cast<IDispatch*>(this);
        else
            *object = extraInterface(iid);
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        released(left);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override
    {
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const Member& member : members_) {
                if (_wcsicmp(member.name, names[i]) == 0)
                    ids[i] = member.id;
            }
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (result != nullptr)
            VariantInit(result);
        static DISPPARAMS none{};
        return call(id, flags, params != nullptr ? *params : none, result);
    }

protected:
    virtual HRESULT call(DISPID id, WORD flags, const DISPPARAMS& params, VARIANT* result) = 0;
    virtual void* extraInterface(REFIID) { return nullptr; }
    virtual void released(ULONG) {}
    ULONG references() const { return references_; }

    // Argument i in call order, converted to text.
    static std::wstring TextArg(const DISPPARAMS& params, UINT i)
    {
        if (i >= params.cArgs)
            return {};
        const std::u16string text = com::VariantText(params.rgvarg[params.cArgs - 1 - i]);
        return std::wstring(text.begin(), text.end());
    }
    static HRESULT ReturnText(VARIANT* result, const std::wstring& text)
    {
        if (result == nullptr)
            return S_OK;
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return S_OK;
    }
    static bool IsGet(WORD flags) { return flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD); }

private:
    std::vector<Member> members_;
    ULONG references_ = 1;
};

class FakeTrack final : public DispatchObject {
public:
    explicit FakeTrack(TrackInfo info)
        : DispatchObject({{L"KindAsString", 1}, {L"Artist", 2}, {L"Album", 3}, {L"Name", 4}}),
          info_(std::move(info))
    {}

protected:
    HRESULT call(DISPID id, WORD flags, const DISPPARAMS&, VARIANT* result) override
    {
        if (!IsGet(flags))
            return DISP_E_MEMBERNOTFOUND;
        switch (id) {
        case 1:
            return ReturnText(result, info_.kind);
        case 2:
            return ReturnText(result, info_.artist);
        case 3:
            return ReturnText(result, info_.album);
        case 4:
            return ReturnText(result, info_.name);
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    TrackInfo info_;
};

class FakeApp;

class ConnectionPoint final : public IConnectionPoint {
public:
    explicit ConnectionPoint(IConnectionPointContainer* container) : container_(container) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
            *object = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the application object, which holds it.
    ULONG STDMETHODCALLTYPE AddRef() override { return container_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return container_->Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override
    {
        *iid = itunes::kDiidEvents;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override
    {
        *out = container_;
        container_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        if (sink == nullptr || cookie == nullptr)
            return E_POINTER;
        ComPtr<IDispatch> events;
        // The sink must speak _IiTunesEvents; without a type library to marshal that
        // dispinterface across processes, its IDispatch is asked for next.
        if (FAILED(sink->QueryInterface(itunes::kDiidEvents, events.putVoid())) &&
            FAILED(sink->QueryInterface(IID_IDispatch, events.putVoid())))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++lastCookie_;
        sinks_[*cookie] = std::move(events);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        return sinks_.erase(cookie) == 1 ? S_OK : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    std::size_t sinkCount() const { return sinks_.size(); }
    void dropSinks() { sinks_.clear(); }

    // Calls every sink; a sink that fails (a client gone) is dropped.
    void fire(DISPID id, IDispatch* track)
    {
        std::map<DWORD, ComPtr<IDispatch>> sinks = sinks_; // a sink may unadvise meanwhile
        for (auto& [cookie, sink] : sinks) {
            VARIANT argument;
            VariantInit(&argument);
            DISPPARAMS params{};
            if (track != nullptr) {
                V_VT(&argument) = VT_DISPATCH;
                V_DISPATCH(&argument) = track;
                params.rgvarg = &argument;
                params.cArgs = 1;
            }
            const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &params, nullptr, nullptr, nullptr);
            if (FAILED(hr))
                sinks_.erase(cookie);
        }
    }

private:
    IConnectionPointContainer* container_;
    std::map<DWORD, ComPtr<IDispatch>> sinks_;
    DWORD lastCookie_ = 0;
};

enum AppMember : DISPID {
    kCurrentTrack = 1,
    kCurrentStreamTitle,
    kAppCommandMessageProcessingEnabled,
    kPreviousTrack,
    kNextTrack,
    kPlayPause,
    kTestLoad = 100,
    kTestClear,
    kTestSetStreamTitle,
    kTestFire,
    kTestQuit,
    kTestCalls,
    kTestSinks,
};

class FakeApp final : public DispatchObject, public IConnectionPointContainer {
public:
    FakeApp()
        : DispatchObject(
              {{L"CurrentTrack", kCurrentTrack},
               {L"CurrentStreamTitle", kCurrentStreamTitle},
               {L"AppCommandMessageProcessingEnabled", kAppCommandMessageProcessingEnabled},
               {L"PreviousTrack", kPreviousTrack},
               {L"NextTrack", kNextTrack},
               {L"PlayPause", kPlayPause},
               {L"TestLoad", kTestLoad},
               {L"TestClear", kTestClear},
               {L"TestSetStreamTitle", kTestSetStreamTitle},
               {L"TestFire", kTestFire},
               {L"TestQuit", kTestQuit},
               {L"TestCalls", kTestCalls},
               {L"TestSinks", kTestSinks}}),
          point_(static_cast<IConnectionPointContainer*>(this))
    {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return DispatchObject::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, itunes::kDiidEvents))
            return CONNECT_E_NOCONNECTION;
        *out = &point_;
        point_.AddRef();
        return S_OK;
    }

    // From the message loop.
    void fire(DISPID id)
    {
        ComPtr<IDispatch> track;
        if ((id == itunes::kOnPlayerPlayEvent || id == itunes::kOnPlayerPlayingTrackChangedEvent) &&
            hasCurrent_)
            track = ComPtr<IDispatch>::adopt(new FakeTrack(current_));
        point_.fire(id, track.get());
    }
    void quit()
    {
        fire(itunes::kOnAboutToPromptUserToQuitEvent);
        fire(itunes::kOnQuittingEvent);
        quitting_ = true;
        leaveWhenIdle(references());
    }
    void dropSinks() { point_.dropSinks(); }
    bool used() const { return used_; }

protected:
    void* extraInterface(REFIID iid) override
    {
        if (IsEqualIID(iid, IID_IConnectionPointContainer))
            return static_cast<IConnectionPointContainer*>(this);
        return nullptr;
    }
    void released(ULONG left) override { leaveWhenIdle(left); }

    HRESULT call(DISPID id, WORD flags, const DISPPARAMS& params, VARIANT* result) override
    {
        used_ = true;
        switch (id) {
        case kCurrentTrack:
            if (result != nullptr) {
                V_VT(result) = VT_DISPATCH;
                V_DISPATCH(result) = hasCurrent_ ? new FakeTrack(current_) : nullptr;
            }
            return S_OK;
        case kCurrentStreamTitle:
            return ReturnText(result, streamTitle_);
        case kAppCommandMessageProcessingEnabled:
            if (flags & DISPATCH_PROPERTYPUT) {
                Variant value;
                if (params.cArgs != 1 ||
                    FAILED(VariantChangeType(value.get(), &params.rgvarg[0], 0, VT_BOOL)))
                    return DISP_E_TYPEMISMATCH;
                appCommands_ = V_BOOL(value.get()) != VARIANT_FALSE;
                log(appCommands_ ? L"AppCommandMessageProcessingEnabled=true"
                                 : L"AppCommandMessageProcessingEnabled=false");
                return S_OK;
            }
            if (result != nullptr) {
                V_VT(result) = VT_BOOL;
                V_BOOL(result) = appCommands_ ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        case kPreviousTrack:
            log(L"PreviousTrack");
            step(-1);
            return S_OK;
        case kNextTrack:
            log(L"NextTrack");
            step(+1);
            return S_OK;
        case kPlayPause:
            log(L"PlayPause");
            playing_ = !playing_;
            if (playing_ && hasCurrent_)
                PostMessageW(gWindow, kFireMessage, itunes::kOnPlayerPlayEvent, 0);
            return S_OK;
        case kTestLoad:
            current_ = {TextArg(params, 0), TextArg(params, 1), TextArg(params, 2),
                        TextArg(params, 3)};
            hasCurrent_ = true;
            return S_OK;
        case kTestClear:
            hasCurrent_ = false;
            return S_OK;
        case kTestSetStreamTitle:
            streamTitle_ = TextArg(params, 0);
            return S_OK;
        case kTestFire:
            PostMessageW(gWindow, kFireMessage,
                         std::wcstol(TextArg(params, 0).c_str(), nullptr, 10), 0);
            return S_OK;
        case kTestQuit:
            PostMessageW(gWindow, kQuitMessage, 0, 0);
            return S_OK;
        case kTestCalls:
            return ReturnText(result, calls_);
        case kTestSinks:
            if (result != nullptr) {
                V_VT(result) = VT_I4;
                V_I4(result) = static_cast<LONG>(point_.sinkCount());
            }
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    using Variant = com::Variant;

    void log(const wchar_t* call) { calls_ += std::wstring(call) + L";"; }
    void step(int direction)
    {
        const int count = static_cast<int>(std::size(kLibrary));
        index_ = (index_ + direction + count) % count;
        current_ = kLibrary[index_];
        hasCurrent_ = true;
        playing_ = true;
        PostMessageW(gWindow, kFireMessage, itunes::kOnPlayerPlayEvent, 0);
    }
    // One reference is the server's own; the rest are clients'.
    void leaveWhenIdle(ULONG left)
    {
        if (left == 1 && (used_ || quitting_))
            PostMessageW(gWindow, kLeaveMessage, 0, 0);
    }

    ConnectionPoint point_;
    TrackInfo current_;
    bool hasCurrent_ = false;
    int index_ = -1;
    bool playing_ = false;
    bool appCommands_ = false;
    bool quitting_ = false;
    bool used_ = false;
    std::wstring streamTitle_;
    std::wstring calls_;
};

FakeApp* gApp = nullptr;

// Hands every client the one application object, as iTunes does.
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        return gApp->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case kFireMessage:
        gApp->fire(static_cast<DISPID>(wParam));
        return 0;
    case kQuitMessage:
        gApp->quit();
        SetTimer(hwnd, kQuitDeadlineTimer, 10000, nullptr);
        return 0;
    case kLeaveMessage:
        PostQuitMessage(0);
        return 0;
    case WM_TIMER:
        if (wParam == kQuitDeadlineTimer || (wParam == kIdleTimer && !gApp->used()))
            PostQuitMessage(0);
        KillTimer(hwnd, wParam);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LONG SetKeyText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    HKEY handle = nullptr;
    LONG status =
        RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status;
}

std::wstring ClsidText()
{
    wchar_t text[64] = {};
    StringFromGUID2(itunes::kClsidApp, text, 64);
    return text;
}

int Register()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring clsidKey = L"CLSID\\" + ClsidText();
    const std::wstring progId = itunes::kProgId;
    LONG status = SetKeyText(HKEY_CLASSES_ROOT, progId, nullptr, L"iTunes Application");
    if (status == ERROR_SUCCESS)
        status = SetKeyText(HKEY_CLASSES_ROOT, progId + L"\\CLSID", nullptr, ClsidText());
    if (status == ERROR_SUCCESS)
        status = SetKeyText(HKEY_CLASSES_ROOT, clsidKey, nullptr, L"iTunesApp");
    if (status == ERROR_SUCCESS)
        status = SetKeyText(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr, progId);
    if (status == ERROR_SUCCESS)
        status = SetKeyText(HKEY_CLASSES_ROOT, clsidKey + L"\\LocalServer32", nullptr,
                            L"\"" + std::wstring(path) + L"\"");
    if (status != ERROR_SUCCESS) {
        std::fprintf(stderr, "registration failed (error %ld)\n", status);
        return 1;
    }
    return 0;
}

int Unregister()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + ClsidText()).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, itunes::kProgId);
    return 0;
}

int Serve()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    // A top-level window, so that tests can see with FindWindow whether the server still runs.
    gWindow = CreateWindowExW(0, kWindowClass, L"iTunes", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    if (gWindow == nullptr)
        return 1;
    gApp = new FakeApp;
    static Factory factory;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(itunes::kClsidApp, &factory, CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie)))
        return 1;
    SetTimer(gWindow, kIdleTimer, 30000, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CoRevokeClassObject(cookie);
    gApp->dropSinks();
    CoDisconnectObject(static_cast<IDispatch*>(gApp), 0);
    gApp->Release();
    DestroyWindow(gWindow);
    CoUninitialize();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (_stricmp(argv[i], "/RegServer") == 0 || _stricmp(argv[i], "-RegServer") == 0)
            return Register();
        if (_stricmp(argv[i], "/UnregServer") == 0 || _stricmp(argv[i], "-UnregServer") == 0)
            return Unregister();
        if (_stricmp(argv[i], "-Embedding") == 0 || _stricmp(argv[i], "/Embedding") == 0)
            return Serve();
    }
    std::fputs("usage: tessaly-fake-itunes /RegServer | /UnregServer | -Embedding\n", stderr);
    return 2;
}
