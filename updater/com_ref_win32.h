// Owners of the COM objects, texts and variants the updater asks the shell
// for, each released exactly once.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

template <typename T> class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef()
    {
        if (object_ != nullptr)
            object_->Release();
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For a call that hands over an object with its reference.
    T** out() { return &object_; }
    void** outVoid() { return reinterpret_cast<void**>(&object_); }

private:
    T* object_ = nullptr;
};

// A VARIANT that holds a text, or nothing (VT_EMPTY) for an empty one.
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

class Bstr {
public:
    explicit Bstr(const std::wstring& text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text_); }
    BSTR get() const { return text_; }

private:
    BSTR text_;
};
