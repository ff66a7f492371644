#pragma once
// The registry accessor behind TConfig: one key under a root, opened (and
// created when missing) once, with the typed reads and writes TConfig needs.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/scoped_win.h"
#include "base/text.h"

namespace tidewell {

class RegistryKey {
public:
    RegistryKey() = default;
    // Closes without RegFlushKey while lazy write is on.
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY RootKey = HKEY_CURRENT_USER;
    REGSAM Access = KEY_ALL_ACCESS;
    bool LazyWrite = true;

    // Opens RootKey\path, creating it when missing. False leaves no key open.
    bool OpenKey(const Text& path);
    void CloseKey();
    [[nodiscard]] bool IsOpen() const noexcept { return static_cast<bool>(key_); }
    [[nodiscard]] const Text& CurrentPath() const noexcept { return path_; }

    struct ValueInfo {
        DWORD type = REG_NONE;
        DWORD size = 0;
    };
    // The existence test: type and size of the value, or nothing when it does
    // not exist or no key is open.
    [[nodiscard]] std::optional<ValueInfo> QueryValue(const Text& name) const;

    // These throw ConfigError with the store's texts (see settings/config_store.h).
    [[nodiscard]] uint32_t ReadDword(const Text& name) const;
    [[nodiscard]] Text ReadText(const Text& name) const;

    // False when the store refused the value (or no key is open).
    [[nodiscard]] bool WriteDword(const Text& name, uint32_t value) const noexcept;
    [[nodiscard]] bool WriteText(const Text& name, const Text& value) const noexcept;

private:
    UniqueRegKey key_;
    Text path_;
};

}  // namespace tidewell
