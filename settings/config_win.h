#pragma once
// TConfig: the options' registry store, one key of HKEY_CURRENT_USER\Software.
// Made for one batch of reads or one write and freed right after; it caches
// nothing. It implements ConfigStore so the options logic can run against an
// in-memory store in the native tests.

#include <memory>

#include "settings/config_store.h"
#include "settings/registry_key_win.h"

namespace tidewell {

class TConfig final : public ConfigStore {
public:
    // Opens HKEY_CURRENT_USER\Software\<path>, creating it when missing. A key
    // that cannot be opened is not reported: every read then gives its default
    // and every write is dropped.
    explicit TConfig(const Text& path);
    ~TConfig() override;
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    [[nodiscard]] bool ReadBoolean(const Text& name, bool defaultValue) override;
    [[nodiscard]] int32_t ReadInteger(const Text& name, int32_t defaultValue) override;
    [[nodiscard]] Text ReadString(const Text& name, const Text& defaultValue) override;
    bool WriteBoolean(const Text& name, bool value) override;
    int32_t WriteInteger(const Text& name, int32_t value) override;
    Text WriteString(const Text& name, const Text& value) override;

    // Whether the constructor got the key open; for tests and diagnostics only.
    [[nodiscard]] bool KeyIsOpen() const noexcept { return FReg->IsOpen(); }

private:
    std::unique_ptr<RegistryKey> FReg;
};

}  // namespace tidewell
