#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "core/L10n.h"
#include "support/TestSupport.h"
#include "windows/EditorTabButton.h"
#include "windows/EditorTestKit.h"
#include "windows/OverflowTabsView.h"
#include "windows/TextEditorModel.h"

namespace {

using Split = OverflowTabsView::Split;

EditorTab tabNamed(const QString& title) {
    EditorTab t;
    t.key = "custom:" + title;
    t.title = title;
    t.isCustom = true;
    return t;
}

QStringList titles(const QList<EditorTab>& tabs) {
    QStringList out;
    for (const EditorTab& t : tabs) out << t.title;
    return out;
}

QStringList menuTexts(const QMenu& menu) {
    QStringList out;
    for (QAction* a : menu.actions()) out << (a->isSeparator() ? QString("--") : a->text());
    return out;
}

QAction* actionNamed(const QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions())
        if (a->text() == text) return a;
    return nullptr;
}

// Width of a title of n characters: 7.5 n + 26.
double w(int n) {
    return 7.5 * n + 26;
}

}  // namespace

TEST(OverflowTabs, SplitTable) {
    const EditorTab huge = tabNamed(QString(100, 'h'));
    const EditorTab a = tabNamed("aaaa"), b = tabNamed("bbbb"), c = tabNamed("cc");
    const EditorTab longTab = tabNamed(QString(20, 'l'));
    struct Case {
        const char* name;
        QList<EditorTab> tabs;
        std::optional<QString> active;
        double available;
        QStringList visible;
        QStringList hidden;
    };
    const Case cases[] = {
        {"no tabs", {}, {}, 500, {}, {}},
        {"one huge tab", {huge}, {}, 50, {huge.title}, {}},
        {"two tabs fit without a reserve", {a, b}, {}, w(4) * 2 + 6, {"aaaa", "bbbb"}, {}},
        {"two tabs one point short", {a, b}, {}, w(4) * 2 + 5, {"aaaa"}, {"bbbb"}},
        // The second tab needs room for the overflow button as a third follows.
        {"reserve while more follow",
         {a, b, c},
         {},
         w(4) * 2 + 6 + 52 + 6 - 1,
         {"aaaa"},
         {"bbbb", "cc"}},
        {"a later short tab is not pulled forward",
         {a, longTab, c},
         {},
         w(4) + w(20) - 1,
         {"aaaa"},
         {longTab.title, "cc"}},
        {"the active tab swaps into the last visible place",
         {a, b, longTab, c},
         c.key,
         w(4) * 2 + 6 + 52 + 6,
         {"aaaa", "cc"},
         {longTab.title, "bbbb"}},
        {"an active visible tab changes nothing",
         {a, b, c},
         a.key,
         w(4) + 70,
         {"aaaa"},
         {"bbbb", "cc"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const Split s = OverflowTabsView::computeSplitInner(k.tabs, k.active, k.available, 6, 52);
        EXPECT_EQ(titles(s.visible), k.visible);
        EXPECT_EQ(titles(s.hidden), k.hidden);
    }
    // Characters, not UTF-16 units, set the estimate.
    EXPECT_EQ(OverflowTabsView::estimatedWidth(QString::fromUtf8("👍🏽ab")), w(3));
}

TEST(OverflowTabs, StripShowsPlusNAndIgnoresMenuChoicesWhileBusy) {
    QStringList activated;
    OverflowTabsView strip([](const EditorTab& t, QWidget* parent) {
        auto* b = new QToolButton(parent);
        b->setText(t.title);
        return b;
    });
    strip.onActivate = [&](const QString& key) { activated << key; };
    const QList<EditorTab> tabs{tabNamed("one"), tabNamed("two"), tabNamed("three"),
                                tabNamed("four")};
    strip.resize(int(w(3) + 52 + 6 + 10), 28);
    strip.setState(tabs, std::nullopt, /*busy=*/true);
    ASSERT_NE(strip.overflowButton(), nullptr);
    EXPECT_TRUE(strip.overflowButton()->text().startsWith("+3"));
    QMenu* menu = strip.overflowButton()->menu();
    EXPECT_EQ(menuTexts(*menu), (QStringList{"two", "three", "four"}));
    menu->actions()[1]->trigger();
    EXPECT_TRUE(activated.isEmpty());

    strip.setState(tabs, std::nullopt, /*busy=*/false);
    strip.overflowButton()->menu()->actions()[1]->trigger();
    EXPECT_EQ(activated, QStringList{"custom:three"});

    // A trailing control takes its width plus a gap from the tabs.
    strip.resize(int(w(3) * 2 + 6), 28);
    strip.setState(tabs.mid(0, 2), std::nullopt, false);
    EXPECT_EQ(strip.overflowButton(), nullptr);
    strip.setTrailing(new QToolButton);
    EXPECT_EQ(titles(strip.currentSplit().visible), QStringList{"one"});
}

namespace {
class EditorTabsTest : public ::testing::Test {
protected:
    EditorSettings env;
    FakePostProcessor service;
    std::unique_ptr<TextEditorModel> model;
    QList<PromptEditorMode> opened;
    OpenPromptEditor open = [this](const PromptEditorMode& m) { opened << m; };

    void SetUp() override {
        TextEditorModel::Collaborators c;
        c.settings = &env.settings;
        c.postProcess = service.fn();
        c.fetchHistory = [](int, int) { return QList<QVariantMap>{}; };
        model = std::make_unique<TextEditorModel>(c);
        model->loadTabs();
    }
    void useABC() { model->setTabs({tabNamed("A"), tabNamed("B"), tabNamed("C")}); }
    EditorTab tab(const QString& key) const {
        for (const EditorTab& t : model->tabs())
            if (t.key == key) return t;
        return {};
    }
};
}  // namespace

TEST_F(EditorTabsTest, ShiftAndDropTable) {
    struct Case {
        const char* name;
        std::function<void(TextEditorModel&)> act;
        QStringList expected;
    };
    const Case cases[] = {
        {"A left", [](auto& m) { shiftTab(m, tabNamed("A"), true); }, {"A", "B", "C"}},
        {"C right", [](auto& m) { shiftTab(m, tabNamed("C"), false); }, {"A", "B", "C"}},
        {"A right", [](auto& m) { shiftTab(m, tabNamed("A"), false); }, {"B", "A", "C"}},
        {"C left", [](auto& m) { shiftTab(m, tabNamed("C"), true); }, {"A", "C", "B"}},
        {"unknown tab", [](auto& m) { shiftTab(m, tabNamed("Z"), true); }, {"A", "B", "C"}},
        {"drop C on A", [](auto& m) { dropTab(m, "custom:C", "custom:A"); }, {"C", "A", "B"}},
        {"drop on itself", [](auto& m) { dropTab(m, "custom:B", "custom:B"); }, {"A", "B", "C"}},
        {"drop of a foreign text",
         [](auto& m) { dropTab(m, "hello", "custom:B"); },
         {"A", "B", "C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useABC();
        c.act(*model);
        EXPECT_EQ(titles(model->tabs()), c.expected);
    }
}

TEST_F(EditorTabsTest, TabMenusByKindAndOverride) {
    BuiltinTonePromptStore::setOverride("Mine", "formal");
    ASSERT_EQ(model->upsertCustomTab(std::nullopt, "Mail", "Write", false, true), std::nullopt);
    model->loadTabs();
    const QStringList shifts{"Сдвинуть влево", "Сдвинуть вправо", "--"};
    struct Case {
        const char* key;
        QStringList items;
    };
    const Case cases[] = {
        {"neutral", shifts + QStringList{"Edit…", "Hide from list"}},
        {"formal", shifts + QStringList{"Edit… (modified)", "Hide from list"}},
        {"custom:Mail", shifts + QStringList{"Редактировать…", "Удалить"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::unique_ptr<QMenu> menu(buildTabMenu(tab(c.key), *model, open, nullptr));
        EXPECT_EQ(menuTexts(*menu), c.items);
    }
    env.settings.set("interfaceLanguage", "de");
    std::unique_ptr<QMenu> german(buildTabMenu(tab("neutral"), *model, open, nullptr));
    EXPECT_EQ(menuTexts(*german).mid(3),
              (QStringList{L10n::promptEditorEditHint(), L10n::promptEditorHideFromList()}));
    EXPECT_NE(L10n::promptEditorEditHint(), "Edit…");
}

TEST_F(EditorTabsTest, MenuItemsOpenTheEditorOrChangeTheTabs) {
    ASSERT_EQ(model->upsertCustomTab(std::nullopt, "Mail", "Write", false, true), std::nullopt);
    std::unique_ptr<QMenu> custom(buildTabMenu(tab("custom:Mail"), *model, open, nullptr));
    actionNamed(*custom, "Редактировать…")->trigger();
    std::unique_ptr<QMenu> builtin(buildTabMenu(tab("formal"), *model, open, nullptr));
    actionNamed(*builtin, "Edit…")->trigger();
    EXPECT_EQ(opened,
              (QList<PromptEditorMode>{
                  PromptEditorMode::editCustomStyle("custom:Mail", "Mail", "Write", false, true),
                  PromptEditorMode::builtinTone("formal", "Деловой")}));

    actionNamed(*builtin, "Hide from list")->trigger();
    EXPECT_TRUE(tab("formal").key.isEmpty());
    actionNamed(*custom, "Удалить")->trigger();
    EXPECT_TRUE(tab("custom:Mail").key.isEmpty());
    EXPECT_TRUE(TextEditorModel::loadSavedPrompts(env.settings).isEmpty());
}

TEST_F(EditorTabsTest, NewTabMenuWithNoneAndTwoHiddenTabs) {
    QMenu menu;
    fillNewTabMenu(&menu, *model, open);
    EXPECT_EQ(menuTexts(menu), QStringList{"Новый таб…"});
    menu.actions()[0]->trigger();
    EXPECT_EQ(opened, QList<PromptEditorMode>{PromptEditorMode::newCustomStyle()});

    model->hideBuiltinTab(tab("formal"));
    model->hideBuiltinTab(tab("concise"));
    fillNewTabMenu(&menu, *model, open);
    EXPECT_EQ(menuTexts(menu), (QStringList{"Новый таб…", "--", "Show: Кратко", "Show: Деловой"}));
    menu.actions()[3]->trigger();
    EXPECT_EQ(model->tabs().last().key, "formal");
    fillNewTabMenu(&menu, *model, open);
    EXPECT_EQ(menuTexts(menu), (QStringList{"Новый таб…", "--", "Show: Кратко"}));
}

TEST_F(EditorTabsTest, TabButtonTooltipClickAndDrop) {
    BuiltinTonePromptStore::setOverride("Mine", "formal");
    ASSERT_EQ(model->upsertCustomTab(std::nullopt, "Mail", "Write", false, true), std::nullopt);
    model->loadTabs();
    model->setSource("text");
    EditorTabButton formal(tab("formal"), *model, open);
    EditorTabButton mail(tab("custom:Mail"), *model, open);
    EXPECT_EQ(formal.toolTip(), "");
    EXPECT_EQ(mail.toolTip(), "Write");

    formal.resize(formal.sizeHint());
    QTest::mouseClick(&formal, Qt::LeftButton);
    EXPECT_EQ(model->activeKey(), "formal");
    EXPECT_TRUE(formal.isActive());
    ASSERT_EQ(service.calls.size(), 1u);
    mail.resize(mail.sizeHint());
    QTest::mouseClick(&mail, Qt::LeftButton);  // busy: ignored
    EXPECT_EQ(model->activeKey(), "formal");
    EXPECT_EQ(service.calls.size(), 1u);

    // Only the editor's own tab type is taken; plain text is refused.
    auto dropOn = [](QWidget& target, QMimeData& data) {
        QDragEnterEvent enter(QPoint(2, 2), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(2, 2), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &drop);
        return true;
    };
    QMimeData text;
    text.setText("custom:Mail");
    EXPECT_FALSE(dropOn(formal, text));
    QMimeData dragged;
    dragged.setData(kEditorTabMimeType, "custom:Mail");
    EXPECT_TRUE(dropOn(formal, dragged));
    // The dragged tab lands just in front of the one it was dropped on.
    ASSERT_TRUE(testsupport::waitUntil([&] { return model->tabs()[6].key == "custom:Mail"; }));
    EXPECT_EQ(model->tabs()[7].key, "formal");
}
