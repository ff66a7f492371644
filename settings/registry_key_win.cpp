#include "settings/registry_key_win.h"

#include <limits>

#include "base/wide_win.h"
#include "settings/config_store.h"

namespace tidewell {

namespace {

[[noreturn]] void ThrowInvalidType(const Text& name) { throw ConfigError(u"Invalid data type for '" + name + u"'"); }
[[noreturn]] void ThrowNoData(const Text& name) { throw ConfigError(u"Failed to get data for '" + name + u"'"); }

}  // namespace

RegistryKey::~RegistryKey() { CloseKey(); }

bool RegistryKey::OpenKey(const Text& path) {
    CloseKey();
    HKEY key = nullptr;
    const LSTATUS status = ::RegCreateKeyExW(RootKey, WidePtr(path), 0, nullptr, REG_OPTION_NON_VOLATILE, Access,
                                             nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return false;
    key_.reset(key);
    path_ = path;
    return true;
}

void RegistryKey::CloseKey() {
    if (key_ && !LazyWrite) ::RegFlushKey(key_.get());
    key_.reset();
    path_.clear();
}

std::optional<RegistryKey::ValueInfo> RegistryKey::QueryValue(const Text& name) const {
    if (!key_) return std::nullopt;
    ValueInfo info;
    if (::RegQueryValueExW(key_.get(), WidePtr(name), nullptr, &info.type, nullptr, &info.size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return info;
}

uint32_t RegistryKey::ReadDword(const Text& name) const {
    if (!key_) ThrowNoData(name);
    uint32_t value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof value;
    const LSTATUS status =
        ::RegQueryValueExW(key_.get(), WidePtr(name), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status != ERROR_SUCCESS) ThrowNoData(name);
    // A short DWORD would leave part of the number undefined; it is as unusable as a wrong type.
    if (type != REG_DWORD || size != sizeof value) ThrowInvalidType(name);
    return value;
}

Text RegistryKey::ReadText(const Text& name) const {
    const auto info = QueryValue(name);
    if (!info) ThrowNoData(name);
    if (info->size == 0) return {};
    // Whole code units only, plus room for a NUL of our own: stored strings need
    // not be terminated, and their byte count need not even be even.
    const DWORD units = info->size / 2 + 1;
    std::wstring buffer(units + 1, L'\0');
    DWORD type = REG_NONE;
    DWORD size = units * 2;
    const LSTATUS status =
        ::RegQueryValueExW(key_.get(), WidePtr(name), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status != ERROR_SUCCESS) ThrowNoData(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) ThrowInvalidType(name);
    buffer.resize(size / 2);
    const size_t end = buffer.find(L'\0');
    if (end != std::wstring::npos) buffer.resize(end);
    return FromWide(buffer);
}

bool RegistryKey::WriteDword(const Text& name, uint32_t value) const noexcept {
    if (!key_) return false;
    return ::RegSetValueExW(key_.get(), WidePtr(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

bool RegistryKey::WriteText(const Text& name, const Text& value) const noexcept {
    if (!key_) return false;
    if (value.size() >= std::numeric_limits<DWORD>::max() / 2) return false;
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(char16_t));
    return ::RegSetValueExW(key_.get(), WidePtr(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            bytes) == ERROR_SUCCESS;
}

}  // namespace tidewell
