#pragma once

// Small owners for COM references, VARIANTs and late-bound IDispatch calls by name.

#include <ole2.h>
#include <oleauto.h>
#include <string>
#include <utility>
#include <windows.h>

namespace tessaly::com {

// Owns one reference.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    static ComPtr adopt(T* pointer)
    {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }
    // Adds a reference of its own.
    static ComPtr share(T* pointer)
    {
        if (pointer != nullptr)
            pointer->AddRef();
        return adopt(pointer);
    }
    ComPtr(const ComPtr& other) : pointer_(other.pointer_)
    {
        if (pointer_ != nullptr)
            pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** put()
    {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset()
    {
        if (T* old = std::exchange(pointer_, nullptr))
            old->Release();
    }
    template <typename U> HRESULT queryInterface(REFIID iid, ComPtr<U>& out) const
    {
        if (pointer_ == nullptr)
            return E_POINTER;
        return pointer_->QueryInterface(iid, out.putVoid());
    }

private:
    T* pointer_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }

    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }
    VARIANT* put()
    {
        VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

std::u16string ToU16(const wchar_t* text, std::size_t length);
std::u16string BstrText(BSTR text);
// A new BSTR holding text (caller frees it, e.g. by putting it into a Variant).
BSTR MakeBstr(std::u16string_view text);

// The text a VARIANT converts to, as VB's CStr would give it; empty when it does not convert.
std::u16string VariantText(const VARIANT& value);
// The IDispatch a VARIANT carries (also by reference or as IUnknown), or null.
ComPtr<IDispatch> VariantDispatch(const VARIANT& value);

// Late-bound calls: the member is looked up by name, then invoked. args are in call order.
HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, unsigned argCount,
               VARIANT* result);
HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* result);
HRESULT PutProperty(IDispatch* object, const wchar_t* name, VARIANT value);
HRESULT CallMethod(IDispatch* object, const wchar_t* name, VARIANT* args = nullptr,
                   unsigned argCount = 0, VARIANT* result = nullptr);

} // namespace tessaly::com
