#include "i18n/component_translation.h"

#include <gtest/gtest.h>

#include "tests/unit/translation_state.h"

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/frm_tidewell.h"
#include "i18n/translation.h"
#include "tests/unit/fake_host.h"
#include "ui/widgets.h"

namespace tidewell {
namespace {

using namespace ui;

class ComponentTranslationTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTranslationTable(ParseTranslationResource(testing::ReadShippedTable()));
        ASSERT_EQ(TranslationTable().size(), 206u) << "resources/translate.txt could not be read";
    }

private:
    testing::ScopedTranslationState saved_;
};

std::string U8(const Text& t) { return TextToUtf8(t); }

// A small window with one component of each kind the walk treats differently.
struct SmallWindow {
    // Declared first so that it outlives the form: it owns a sub-item that the
    // form's menu refers to.
    TComponent outside{nullptr, u"Outside"};
    TForm form;
    TLabel* label;
    TGroupBox* group;
    TCheckBox* check;
    TComboBox* combo;
    TLabel* ownedByCombo;
    TEdit* edit;
    TPopupMenu* menu;
    TMenuItem* open;
    TMenuItem* separator;
    TMenuItem* quit;
    TMenuItem* nested;

    explicit SmallWindow(const Text& formCaption) : form(u"Form", formCaption, 200, 100) {
        label = new TLabel(&form, u"Label", &form, {}, 1, u"처음화면");
        group = new TGroupBox(&form, u"Group", &form, {}, 2, u"기본 설정");
        // Owned by the group box, so reached only by walking into what an owned component owns.
        check = new TCheckBox(group, u"Check", group, {}, 3, u"부팅시 실행하기");
        combo = new TComboBox(&form, u"Combo", group, {}, 4, {u"30", u"60", u"종료"});
        combo->SetItemIndex(1);
        combo->SetCaption(u"종료");
        ownedByCombo = new TLabel(combo, u"OwnedByCombo", nullptr, {}, 5, u"종료");
        edit = new TEdit(&form, u"Edit", &form, {}, 6);
        edit->SetCaption(u"종료");  // not a captioned kind: the walk leaves it alone
        menu = new TPopupMenu(&form, u"Menu");
        open = new TMenuItem(&form, u"Open", 10, u"열기");
        separator = new TMenuItem(&form, u"Separator", 11, u"-");
        quit = new TMenuItem(&form, u"Quit", 12, u"종료");
        for (TMenuItem* item : {open, separator, quit}) menu->Items().Add(item);
        nested = new TMenuItem(&outside, u"Nested", 13, u"만든이 Orlek");
        open->Add(nested);
    }
};

TEST_F(ComponentTranslationTest, WalksCaptionsItemsAndMenus) {
    const struct {
        Text language;  // argument of the walk
        Text current;   // CurrentLanguage before it
        Text formCaption, formExpected;
        Text label, group, check, open, quit, nested;
    } cases[] = {
        // The window's own caption takes the "ko" line in Korean, the "en" line in every other language.
        {u"ko", u"en", u"Accueil", u"처음화면", u"처음화면", u"기본 설정", u"부팅시 실행하기", u"열기", u"종료",
         u"만든이 Orlek"},
        {u"fr", u"en", u"처음화면", u"Home", u"Accueil", u"Général", u"Lancer au démarrage", u"Ouvrir", u"Quitter",
         u"Créé par Orlek"},
        {u"en", u"ko", u"Accueil", u"Home", u"Home", u"General", u"Run on system start", u"Open", u"Quit",
         u"Crafted by Orlek"},
        {u"ru", u"en", u"처음화면", u"Home", u"Главная", u"Основные настройки", u"Запуск при старте системы", u"Открыть",
         u"Выйти",
         u"Создатель: Orlek"},
        // No argument: the current language is used and stays.
        {u"", u"ja", u"처음화면", u"Home", u"ホーム", u"一般設定", u"システム起動時に実行", u"開く", u"終了",
         u"作成者: Orlek"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("language \"" + U8(c.language) + "\", current \"" + U8(c.current) + "\"");
        SetCurrentLanguage(c.current);
        SmallWindow w(c.formCaption);
        TranslateComponent(&w.form, c.language);

        const Text language = c.language.empty() ? c.current : c.language;
        EXPECT_EQ(CurrentLanguage(), language);
        EXPECT_EQ(U8(w.form.Caption()), U8(c.formExpected));
        EXPECT_EQ(U8(w.label->Caption()), U8(c.label));
        EXPECT_EQ(U8(w.group->Caption()), U8(c.group));
        EXPECT_EQ(U8(w.check->Caption()), U8(c.check));
        // Items translated, selection kept, nothing else touched.
        EXPECT_EQ(w.combo->Items(), (std::vector<Text>{u"30", u"60", c.quit}));
        EXPECT_EQ(w.combo->ItemIndex(), 1);
        EXPECT_EQ(w.combo->SelectedText(), u"60");
        EXPECT_EQ(U8(w.combo->Caption()), "종료");
        EXPECT_EQ(U8(w.ownedByCombo->Caption()), "종료");
        EXPECT_EQ(U8(w.edit->Caption()), "종료");
        // Menu items: reached through the menu and again as owned components.
        EXPECT_EQ(U8(w.open->Caption()), U8(c.open));
        EXPECT_EQ(w.separator->Caption(), u"-");
        EXPECT_EQ(U8(w.quit->Caption()), U8(c.quit));
        EXPECT_EQ(U8(w.nested->Caption()), U8(c.nested));
        EXPECT_EQ(w.menu->Items().Caption(), u"");

        // A second walk finds only translated texts and keeps them.
        TranslateComponent(&w.form, c.language);
        EXPECT_EQ(U8(w.label->Caption()), U8(c.label));
        EXPECT_EQ(U8(w.form.Caption()), U8(c.formExpected));
        EXPECT_EQ(U8(w.quit->Caption()), U8(c.quit));
        EXPECT_EQ(w.combo->SelectedText(), u"60");
    }
}

TEST_F(ComponentTranslationTest, ComboWithoutSelectionStaysWithout) {
    SetCurrentLanguage(u"en");
    TForm form(u"Form", u"", 10, 10);
    auto* combo = new TComboBox(&form, u"Combo", &form, {}, 1, {u"처음화면", u"열기"});
    TranslateComponent(combo);
    EXPECT_EQ(combo->Items(), (std::vector<Text>{u"Home", u"Open"}));
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ComponentTranslationTest, NullStopsAfterTakingTheLanguage) {
    SetCurrentLanguage(u"en");
    TranslateComponent(nullptr);
    EXPECT_EQ(CurrentLanguage(), u"en");
    TranslateComponent(nullptr, u"it");
    EXPECT_EQ(CurrentLanguage(), u"it");
    EXPECT_EQ(U8(Translate(u"종료")), "Esci");
    TranslateMenuItem(nullptr);

    // A menu item on its own: its sub-items follow, in any depth.
    TMenuItem root(nullptr, u"Root", 0, u"열기");
    TMenuItem child(nullptr, u"Child", 1, u"종료");
    TMenuItem grandChild(nullptr, u"GrandChild", 2, u"버전");
    root.Add(&child);
    child.Add(&grandChild);
    root.Add(nullptr);
    TranslateMenuItem(&root);
    EXPECT_EQ(U8(root.Caption()), "Apri");
    EXPECT_EQ(U8(child.Caption()), "Esci");
    EXPECT_EQ(U8(grandChild.Caption()), "ver");
}

// The main window as it is defined, before its creation sequence runs.
TEST_F(ComponentTranslationTest, TranslatesTheMainWindow) {
    struct Texts {
        Text en, ja, ar;
    };
    const std::map<Text, Texts> expected = {
        {u"LblTitle", {u"Tidewell", u"Tidewell", u"Tidewell"}},
        {u"BtnHome", {u"Home", u"ホーム", u"الرئيسية"}},
        {u"BtnConfig", {u"Config", u"設定", u"الإعدادات"}},
        {u"BtnDonate", {u"Donate", u"寄付", u"تبرع"}},
        {u"LblPhys", {u"Physical", u"物理", u"فعلية"}},
        {u"LblVirtual", {u"Virtual", u"仮想", u"افتراضية"}},
        {u"LblWorking", {u"워킹 셋", u"ワーキング", u"عمل"}},
        {u"BtnClean", {u"Clean memory", u"メモリをクリーン", u"تنظيف الذاكرة"}},
        {u"GroupBox1", {u"Memory", u"メモリ管理", u"الذاكرة"}},
        {u"ChkUsagePhys",
         {u"Clean when physical memory usage is higher than (%)", u"物理メモリ使用率(%)を超えるときにクリーン",
          u"التنظيف عندما يكون استخدام الذاكرة الفعلية أعلى من (%)"}},
        {u"ChkMinute",
         {u"Clean automatically if interval (minutes) exceeded.", u"次の時間(分)毎にクリーン",
          u"التنظيف تلقائيًا عند تجاوز هذا الفاصل الزمني (بالدقائق)"}},
        {u"ChkUsagePage",
         {u"Clean when pagefile usage is higher than (%)", u"ページファイル使用率(%)を超えるときにクリーン",
          u"التنظيف عندما يكون استخدام ملف الصفحة أعلى من (%)"}},
        {u"ChkUsageWork",
         {u"Clean when total workingset usage is higher than (%)", u"ワーキングセット使用率(%)を超えるときにクリーン",
          u"التنظيف عندما يكون استخدام مجموعة العمل أعلى من (%)"}},
        {u"GroupBox3", {u"General", u"一般設定", u"عام"}},
        {u"ChkAutoStart", {u"Run on system start", u"システム起動時に実行", u"تشغيل عند بدء النظام"}},
        {u"ChkCleanOnTray",
         {u"Clean when you click on the task icon", u"トレイアイコンをクリックしてクリーン",
          u"تنظيف عند النقر على أيقونة المهام"}},
        {u"BtnOpen", {u"Tidewell", u"Tidewell", u"Tidewell"}},
        {u"BtnCopyright", {u"Crafted by Orlek", u"作成者: Orlek", u"من صنع Orlek"}},
        {u"BtnClose", {u"Quit", u"終了", u"إنهاء"}},
    };
    for (const Text language : {u"en", u"ja", u"ar"}) {
        SCOPED_TRACE("language " + U8(language));
        testing::FakeHost host;
        TFrmTidewell form(host);
        form.EditUsagePhys->SetItemIndex(3);
        form.EditMinute->SetItemIndex(6);
        std::map<Text, Text> design;
        std::map<Text, std::vector<Text>> designItems;
        for (TComponent* c : form.Components()) {
            design[c->Name()] = c->Caption();
            if (auto* combo = dynamic_cast<TComboBox*>(c)) designItems[c->Name()] = combo->Items();
        }

        TranslateComponent(&form, language);

        EXPECT_EQ(CurrentLanguage(), language);
        EXPECT_EQ(form.Caption(), u"Tidewell");
        size_t translated = 0;
        for (TComponent* c : form.Components()) {
            const auto it = expected.find(c->Name());
            if (it == expected.end()) {
                // Design names, empty status labels, the separator: in no group.
                EXPECT_EQ(U8(c->Caption()), U8(design[c->Name()])) << U8(c->Name());
                continue;
            }
            ++translated;
            EXPECT_TRUE(c->HasCaption()) << U8(c->Name());
            const Text& want = language == u"en" ? it->second.en : language == u"ja" ? it->second.ja : it->second.ar;
            EXPECT_EQ(U8(c->Caption()), U8(want)) << U8(c->Name());
        }
        EXPECT_EQ(translated, expected.size());
        EXPECT_EQ(form.N2->Caption(), u"-");
        EXPECT_EQ(form.PnlMain->Caption(), u"PnlMain");
        EXPECT_EQ(form.EditInfo->GetText(), u"");
        for (const auto& [name, items] : designItems) {
            EXPECT_EQ(dynamic_cast<TComboBox*>(form.FindComponent(name))->Items(), items) << U8(name);
        }
        EXPECT_EQ(form.EditUsagePhys->SelectedText(), u"60");
        EXPECT_EQ(form.EditMinute->SelectedText(), u"60");
        EXPECT_EQ(form.EditUsagePage->ItemIndex(), -1);
        // The walk's language holds for the texts translated afterwards.
        EXPECT_EQ(U8(Translate(u"메모리를 정리하였습니다.")),
                  U8(language == u"en" ? Text(u"Optimized memory.")
                                       : language == u"ja" ? Text(u"メモリを最適化しました。") : Text(u"تم تحسين الذاكرة")));
    }
}

}  // namespace
}  // namespace tidewell
