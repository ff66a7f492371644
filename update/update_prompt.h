#pragma once
// The update dialog's question and button captions. They are a fixed table of
// their own, chosen by the language code, and do not pass through Translate.

#include "base/text.h"

namespace tidewell {

enum class PromptKind { Question, Yes, No };

// The text for CurrentLanguage().
[[nodiscard]] Text UpdatePromptText(PromptKind kind);
// The text for the given two-letter code; any code outside the table gives English.
[[nodiscard]] Text UpdatePromptText(PromptKind kind, TextView language);

}  // namespace tidewell
