// The Home page: the usage card only for a signed-in user, the figures as
// plain decimals with "∞" for an unlimited plan, and the dictation hotkey's
// name in the card line and in the first step.
#include <QLabel>

#include "MainWindowFixture.h"
#include "mainwindow/HomeSection.h"
#include "pipeline/HotkeyService.h"
#include "support/Screenshots.h"

class HomePage : public MainWindowFixture {
protected:
    std::unique_ptr<HomeSection> open() {
        auto page = std::make_unique<HomeSection>(context);
        page->resize(720, 560);
        page->show();
        page->notifyAppeared();
        return page;
    }
};

TEST_F(HomePage, UsageCardOnlyWhileSignedInAndFollowingTheState) {
    auto page = open();
    EXPECT_FALSE(page->showsUsage());
    appState.setIsAuthenticated(true);
    EXPECT_TRUE(page->showsUsage());
    appState.setWordsUsed(17);
    appState.setUserPlan("Pro");
    EXPECT_EQ(page->wordsUsedValue()->text(), "17");
    EXPECT_EQ(page->planValue()->text(), "Pro");
    appState.setIsAuthenticated(false);
    EXPECT_FALSE(page->showsUsage());
}

TEST_F(HomePage, FiguresArePlainDecimalsAndUnlimitedIsInfinity) {
    appState.setIsAuthenticated(true);
    // A locale that groups thousands must not creep in.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    setLanguage("ru");
    auto page = open();
    const struct {
        int used;
        int limit;
        const char* usedText;
        const char* limitText;
    } cases[] = {
        {0, 2000, "0", "2000"},
        {123456, 999999, "123456", "999999"},
        {1000000, 1000000, "1000000", "∞"},
        {-5, -1, "-5", "∞"},
    };
    for (const auto& c : cases) {
        appState.setWordsUsed(c.used);
        appState.setWordsLimit(c.limit);
        EXPECT_EQ(page->wordsUsedValue()->text(), c.usedText);
        EXPECT_EQ(page->wordsLimitValue()->text(), c.limitText) << c.limit;
    }
    QLocale::setDefault(QLocale::c());
}

TEST_F(HomePage, TheDictationHotkeyIsNamedInTheCardAndTheFirstStep) {
    const QString name = HotkeyService::displayName(61, 0, true);  // right Option alone
    ASSERT_FALSE(name.isEmpty());
    context.dictationHotkeyName = [name] { return name; };
    auto page = open();
    EXPECT_EQ(page->hotkeyLine()->text(), "Hold " + name + " to record");
    EXPECT_EQ(page->holdStepDescription()->text(), "Press and hold\n" + name);
}
