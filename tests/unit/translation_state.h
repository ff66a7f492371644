#pragma once
// The translation table and the current language are process-wide; a test that
// changes them puts them back with this.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "i18n/translation.h"

namespace tidewell::testing {

class ScopedTranslationState {
public:
    ScopedTranslationState() : table_(TranslationTable()), language_(CurrentLanguage()) {}
    ~ScopedTranslationState() {
        SetTranslationTable(table_);
        SetCurrentLanguage(language_);
    }
    ScopedTranslationState(const ScopedTranslationState&) = delete;
    ScopedTranslationState& operator=(const ScopedTranslationState&) = delete;

private:
    std::vector<Text> table_;
    Text language_;
};

#ifdef TIDEWELL_SOURCE_DIR
// The bytes of the shipped table file, empty when it cannot be read.
inline std::string ReadShippedTable() {
    std::ifstream in(std::string(TIDEWELL_SOURCE_DIR) + "/resources/translate.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
#endif

}  // namespace tidewell::testing
