#include "update/update_prompt.h"

#include <array>

#include "i18n/translation.h"

namespace tidewell {
namespace {

struct PromptRow {
    TextView code;
    std::array<TextView, 3> paragraphs;
    TextView yes;
    TextView no;
};

// Looked up first to last; the last row (no code) is the fallback.
constexpr PromptRow kRows[] = {
    {u"ko",
     {u"업데이트가 정보가 있습니다.", u"안정적으로 사용하기 위해 업데이트를 하시길 권장합니다.", u"다운로드 받으시겠습니까?"},
     u"예",
     u"아니오"},
    {u"ja",
     {u"このプログラムがアップデートされました。",
      u"安定的に使用するために新しくダウンロード\u00B7実行することをお勧めします。", u"ダウンロードしますか。"},
     u"はい",
     u"いいえ"},
    {u"zh", {u"该程序已更新。", u"建议下载并执行新程序以稳定使用。", u"您要下载吗\uFF1F"}, u"是", u"否"},
    {u"de",
     {u"Dieses Programm ist aktualisiert worden.",
      u"Es wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu verwenden.",
      u"Möchten Sie es herunterladen?"},
     u"Ja",
     u"Nein"},
    {u"ru",
     {u"Данная программа была обновлена.", u"Рекомендуется скачать и выполнить новое для стабильного использования.",
      u"Вы хотите загрузить ее?"},
     u"Да",
     u"Нет"},
    {u"it",
     {u"È disponibile una nuova versione del programma.", u"Ti suggeriamo di scaricare ed aggiornare il programma.",
      u"Vuoi scaricare la nuova versione del programma?"},
     u"Sì",
     u"No"},
    {u"fr",
     {u"Ce programme a été mis à jour.",
      u"Il est recommandé de télécharger et d'exécuter la nouvelle version pour une utilisation stable.",
      u"Voulez-vous le télécharger?"},
     u"Oui",
     u"Non"},
    {u"",
     {u"This program has been updated.", u"It is recommended to download and execute new for stable use.",
      u"Do you want to download it?"},
     u"Yes",
     u"No"},
};

const PromptRow& RowFor(TextView language) {
    for (const PromptRow& row : kRows) {
        if (row.code == language) return row;
    }
    return kRows[std::size(kRows) - 1];
}

}  // namespace

Text UpdatePromptText(PromptKind kind) { return UpdatePromptText(kind, CurrentLanguage()); }

Text UpdatePromptText(PromptKind kind, TextView language) {
    const PromptRow& row = RowFor(language);
    switch (kind) {
        case PromptKind::Yes: return Text(row.yes);
        case PromptKind::No: return Text(row.no);
        case PromptKind::Question: break;
    }
    // Paragraphs are parted by two bare carriage returns, the way the dialog's text breaks lines.
    Text question(row.paragraphs[0]);
    for (size_t i = 1; i < row.paragraphs.size(); ++i) {
        question += u"\r\r";
        question += row.paragraphs[i];
    }
    return question;
}

}  // namespace tidewell
