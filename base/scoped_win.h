#pragma once
// RAII holders for every Win32 resource the program keeps: one unique-handle
// template over traits, a COM apartment guard, and small BSTR / VARIANT holders.

#include <windows.h>
#include <oleauto.h>
#include <winhttp.h>

#include <utility>

#include "base/text.h"

namespace tidewell {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    [[nodiscard]] explicit operator bool() const noexcept { return Traits::IsValid(handle_); }
    [[nodiscard]] Handle* put() noexcept {
        reset();
        return &handle_;
    }
    Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) noexcept {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};
struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { ::WinHttpCloseHandle(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};
template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueInternet = UniqueHandle<InternetTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;

// CoInitialize for the current thread; uninitialises only when the init succeeded.
class ComApartment {
public:
    ComApartment() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    [[nodiscard]] bool ok() const noexcept { return SUCCEEDED(hr_); }
    [[nodiscard]] HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    explicit ScopedBstr(TextView text)
        : bstr_(::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {}
    ~ScopedBstr() { ::SysFreeString(bstr_); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    [[nodiscard]] BSTR get() const noexcept { return bstr_; }
    [[nodiscard]] BSTR* put() noexcept {
        ::SysFreeString(bstr_);
        bstr_ = nullptr;
        return &bstr_;
    }
    [[nodiscard]] Text text() const {
        return bstr_ ? Text(reinterpret_cast<const char16_t*>(bstr_), ::SysStringLen(bstr_)) : Text();
    }

private:
    BSTR bstr_ = nullptr;
};

class ScopedVariant {
public:
    ScopedVariant() noexcept { ::VariantInit(&v_); }
    ~ScopedVariant() { ::VariantClear(&v_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    static void SetInt32(ScopedVariant& v, LONG value) noexcept {
        ::VariantClear(&v.v_);
        v.v_.vt = VT_I4;
        v.v_.lVal = value;
    }
    static void SetText(ScopedVariant& v, TextView text) {
        ::VariantClear(&v.v_);
        v.v_.vt = VT_BSTR;
        v.v_.bstrVal = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    }
    [[nodiscard]] const VARIANT& get() const noexcept { return v_; }
    [[nodiscard]] VARIANT* put() noexcept {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

}  // namespace tidewell
