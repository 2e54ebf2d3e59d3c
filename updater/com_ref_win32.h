// Owners of the COM objects, texts and variants the updater asks the shell
// for, each released exactly once.
#pragma once

#include "unique_handle.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

template <typename T> struct com_traits {
    using handle_type = T*;
    static T* invalid() noexcept { return nullptr; }
    static void close(T* object) noexcept { object->Release(); }
};

// A COM object's reference. out() and outVoid() are for a call that hands
// over an object with its reference.
template <typename T> class ComRef : public unique_handle<com_traits<T>> {
public:
    T* operator->() const { return this->get(); }
    void** outVoid() { return reinterpret_cast<void**>(this->out()); }
};

// A VARIANT that holds a text, or nothing (VT_EMPTY) for an empty one. Not a
// handle but a value COM reads in place, so it owns its storage itself.
class TextVariant {
public:
    explicit TextVariant(const std::wstring& text)
    {
        VariantInit(&value_);
        if (!text.empty()) {
            value_.vt = VT_BSTR;
            value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        }
    }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    ~TextVariant() { VariantClear(&value_); }
    const VARIANT& get() const { return value_; }

private:
    VARIANT value_;
};

struct bstr_traits {
    using handle_type = BSTR;
    static BSTR invalid() noexcept { return nullptr; }
    static void close(BSTR text) noexcept { SysFreeString(text); }
};
using Bstr = unique_handle<bstr_traits>;

inline Bstr bstrFrom(const std::wstring& text)
{
    return Bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}
