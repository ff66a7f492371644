#pragma once
// Named, typed values of one registry key, each read with a default. TConfig
// (settings/config_win.h) is the registry's; tests use an in-memory one.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/text.h"

namespace tidewell {

// A stored value of the wrong type or size: "Invalid data type for 'name'" or
// "Failed to get data for 'name'". Reads raise it; writes never do.
class ConfigError : public std::runtime_error {
public:
    explicit ConfigError(const Text& message) : std::runtime_error(TextToUtf8(message)), message_(message) {}
    [[nodiscard]] const Text& Message() const noexcept { return message_; }

private:
    Text message_;
};

class ConfigStore {
public:
    virtual ~ConfigStore() = default;
    [[nodiscard]] virtual bool ReadBoolean(const Text& name, bool defaultValue) = 0;
    [[nodiscard]] virtual int32_t ReadInteger(const Text& name, int32_t defaultValue) = 0;
    [[nodiscard]] virtual Text ReadString(const Text& name, const Text& defaultValue) = 0;
    // Each write returns the value it was given, whether or not the store took it.
    virtual bool WriteBoolean(const Text& name, bool value) = 0;
    virtual int32_t WriteInteger(const Text& name, int32_t value) = 0;
    virtual Text WriteString(const Text& name, const Text& value) = 0;
};

}  // namespace tidewell
