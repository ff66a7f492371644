#include "settings/config_win.h"

namespace tidewell {

TConfig::TConfig(const Text& path) : FReg(std::make_unique<RegistryKey>()) {
    FReg->RootKey = HKEY_CURRENT_USER;
    FReg->Access = KEY_ALL_ACCESS;
    FReg->LazyWrite = true;
    // An unopenable key is not an error: reads fall back to their defaults.
    (void)FReg->OpenKey(u"Software\\" + path);
}

TConfig::~TConfig() = default;

bool TConfig::ReadBoolean(const Text& name, bool defaultValue) {
    if (!FReg->QueryValue(name)) return defaultValue;
    return FReg->ReadDword(name) != 0;
}

int32_t TConfig::ReadInteger(const Text& name, int32_t defaultValue) {
    if (!FReg->QueryValue(name)) return defaultValue;
    return static_cast<int32_t>(FReg->ReadDword(name));
}

Text TConfig::ReadString(const Text& name, const Text& defaultValue) {
    if (!FReg->QueryValue(name)) return defaultValue;
    return FReg->ReadText(name);
}

// The options are written one at a time from a click; a write the registry
// refuses is dropped and the control keeps what the user set.
bool TConfig::WriteBoolean(const Text& name, bool value) {
    (void)FReg->WriteDword(name, value ? 1u : 0u);
    return value;
}

int32_t TConfig::WriteInteger(const Text& name, int32_t value) {
    (void)FReg->WriteDword(name, static_cast<uint32_t>(value));
    return value;
}

Text TConfig::WriteString(const Text& name, const Text& value) {
    (void)FReg->WriteText(name, value);
    return value;
}

}  // namespace tidewell
