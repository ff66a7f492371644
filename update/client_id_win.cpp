// The client identifier in the current user's registry.

#include <windows.h>

#include <vector>

#include "base/scoped_win.h"
#include "base/wide_win.h"
#include "update/client_id.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

constexpr wchar_t kKey[] = L"Software\\Varnok";
constexpr wchar_t kValue[] = L"VUID";

ClientIdRandom& ProcessRandom() {
    static ClientIdRandom random([] {
        LARGE_INTEGER counter{};
        ::QueryPerformanceCounter(&counter);
        return static_cast<uint64_t>(counter.QuadPart);
    }());
    return random;
}

CivilTime LocalNow() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

bool WriteId(HKEY key, const Text& id) {
    const auto bytes = static_cast<DWORD>((id.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(WidePtr(id)), bytes) == ERROR_SUCCESS;
}

// The stored string up to its terminator; nothing for a value of another type.
bool ReadId(HKEY key, Text& id) {
    std::vector<wchar_t> buffer(64);
    for (int tries = 0; tries < 8; ++tries) {  // the value may change between size and read
        DWORD type = 0;
        auto bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status =
            ::RegQueryValueExW(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (status == ERROR_MORE_DATA) {
            buffer.resize(bytes / sizeof(wchar_t) + 2);
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        const size_t units = bytes / sizeof(wchar_t);
        size_t length = 0;
        while (length < units && buffer[length] != L'\0') ++length;
        id = FromWide(buffer.data(), length);
        return true;
    }
    return false;
}

}  // namespace

Text ReadClientId() {
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS) {
        return {};
    }
    const LSTATUS exists = ::RegQueryValueExW(key.get(), kValue, nullptr, nullptr, nullptr, nullptr);
    if (exists == ERROR_FILE_NOT_FOUND) {
        const Text id = MakeClientId([](uint32_t max) { return ProcessRandom().Draw(max); }, &LocalNow);
        if (!WriteId(key.get(), id)) return {};
    } else if (exists != ERROR_SUCCESS) {
        return {};
    }
    Text id;
    return ReadId(key.get(), id) ? id : Text();
}

}  // namespace tidewell
