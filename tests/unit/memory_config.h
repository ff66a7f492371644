#pragma once
// An in-memory registry key for native tests: typed values, the same read
// errors as the registry store, and a record of every write.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>

#include "settings/config_store.h"

namespace tidewell::testing {

class MemoryConfig : public ConfigStore {
public:
    // A DWORD, a string, or raw bytes of another type.
    struct Binary {
        std::string bytes;
    };
    using Value = std::variant<uint32_t, Text, Binary>;
    using Values = std::map<Text, Value>;

    MemoryConfig(std::shared_ptr<Values> values, std::function<void(const std::string&)> record = {})
        : values_(std::move(values)), record_(std::move(record)) {}

    bool ReadBoolean(const Text& name, bool defaultValue) override {
        const Value* v = Find(name);
        return v ? Dword(name, *v) != 0 : defaultValue;
    }
    int32_t ReadInteger(const Text& name, int32_t defaultValue) override {
        const Value* v = Find(name);
        return v ? static_cast<int32_t>(Dword(name, *v)) : defaultValue;
    }
    Text ReadString(const Text& name, const Text& defaultValue) override {
        const Value* v = Find(name);
        if (!v) return defaultValue;
        if (const Text* t = std::get_if<Text>(v)) return *t;
        throw ConfigError(u"Invalid data type for '" + name + u"'");
    }
    bool WriteBoolean(const Text& name, bool value) override {
        Record("WriteBoolean(" + TextToUtf8(name) + "," + (value ? "1" : "0") + ")");
        (*values_)[name] = uint32_t{value ? 1u : 0u};
        return value;
    }
    int32_t WriteInteger(const Text& name, int32_t value) override {
        Record("WriteInteger(" + TextToUtf8(name) + "," + std::to_string(value) + ")");
        (*values_)[name] = static_cast<uint32_t>(value);
        return value;
    }
    Text WriteString(const Text& name, const Text& value) override {
        Record("WriteString(" + TextToUtf8(name) + "," + TextToUtf8(value) + ")");
        (*values_)[name] = value;
        return value;
    }

private:
    const Value* Find(const Text& name) const {
        auto it = values_->find(name);
        return it == values_->end() ? nullptr : &it->second;
    }
    static uint32_t Dword(const Text& name, const Value& v) {
        if (const uint32_t* d = std::get_if<uint32_t>(&v)) return *d;
        throw ConfigError(u"Invalid data type for '" + name + u"'");
    }
    void Record(const std::string& call) {
        if (record_) record_(call);
    }

    std::shared_ptr<Values> values_;
    std::function<void(const std::string&)> record_;
};

}  // namespace tidewell::testing
