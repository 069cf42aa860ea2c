#include "watcher/win32/ComSupport.h"

#include <algorithm>
#include <vector>

namespace tessaly::com {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

std::u16string ToU16(const wchar_t* text, std::size_t length)
{
    if (text == nullptr)
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

std::u16string BstrText(BSTR text)
{
    return ToU16(text, text == nullptr ? 0 : SysStringLen(text));
}

BSTR MakeBstr(std::u16string_view text)
{
    return SysAllocStringLen(reinterpret_cast<const wchar_t*>(text.data()),
                             static_cast<UINT>(text.size()));
}

std::u16string VariantText(const VARIANT& value)
{
    if (V_VT(&value) == VT_BSTR)
        return BstrText(V_BSTR(&value));
    Variant text;
    if (FAILED(VariantChangeType(text.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return {};
    return BstrText(V_BSTR(text.get()));
}

ComPtr<IDispatch> VariantDispatch(const VARIANT& value)
{
    const VARIANT* inner = &value;
    if (V_VT(inner) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(inner) != nullptr)
        inner = V_VARIANTREF(inner);
    switch (V_VT(inner)) {
    case VT_DISPATCH:
        return ComPtr<IDispatch>::share(V_DISPATCH(inner));
    case VT_BYREF | VT_DISPATCH:
        return V_DISPATCHREF(inner) != nullptr ? ComPtr<IDispatch>::share(*V_DISPATCHREF(inner))
                                               : ComPtr<IDispatch>();
    case VT_UNKNOWN: {
        ComPtr<IDispatch> dispatch;
        if (V_UNKNOWN(inner) != nullptr)
            V_UNKNOWN(inner)->QueryInterface(IID_IDispatch, dispatch.putVoid());
        return dispatch;
    }
    default:
        return {};
    }
}

HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, unsigned argCount,
               VARIANT* result)
{
    if (object == nullptr)
        return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    auto* names = const_cast<LPOLESTR>(name);
    if (const HRESULT hr = object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
        FAILED(hr))
        return hr;

    // IDispatch takes its arguments last to first.
    std::vector<VARIANT> reversed(args, args + argCount);
    std::reverse(reversed.begin(), reversed.end());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = argCount;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                      &exception, &badArgument);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
}

HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* result)
{
    return Invoke(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, 0, result);
}

HRESULT PutProperty(IDispatch* object, const wchar_t* name, VARIANT value)
{
    return Invoke(object, name, DISPATCH_PROPERTYPUT, &value, 1, nullptr);
}

HRESULT CallMethod(IDispatch* object, const wchar_t* name, VARIANT* args, unsigned argCount,
                   VARIANT* result)
{
    return Invoke(object, name, DISPATCH_METHOD, args, argCount, result);
}

} // namespace tessaly::com
