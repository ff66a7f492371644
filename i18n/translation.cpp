// Placeholder until the table lookup lands: texts pass through unchanged.
#include "i18n/translation.h"

namespace tidewell {
namespace {
std::vector<Text> g_table;
Text g_language = u"en";
}  // namespace

Text Translate(TextView text, TextView) { return Text(text); }
const Text& CurrentLanguage() noexcept { return g_language; }
void SetCurrentLanguage(Text language) { g_language = std::move(language); }
const std::vector<Text>& TranslationTable() noexcept { return g_table; }
void SetTranslationTable(std::vector<Text> lines) { g_table = std::move(lines); }
std::vector<Text> ParseTranslationResource(std::string_view) { return {}; }

}  // namespace tidewell
