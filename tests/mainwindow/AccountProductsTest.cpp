// The Account and Products sections as the user sees them.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

#include "core/WindowOpener.h"
#include "fakes/FakeSecretStore.h"
#include "mainwindow/AccountSection.h"
#include "mainwindow/MainWindowFixture.h"
#include "mainwindow/ProductsSection.h"
#include "service/AuthService.h"
#include "support/Screenshots.h"
#include "ui/Badge.h"
#include "ui/Colors.h"

namespace {

class CountingWindows : public WindowOpener {
public:
    void openMainWindow() override {}
    void showLoginWindow() override { ++loginWindows; }
    void showOnboardingWindow() override {}
    void openEditorWindow() override {}
    void openBuiltinStyleEditor(const QString&, const QString&) override {}
    void openSettings() override {}
    void restoreAccessoryModeIfNeeded() override {}
    int loginWindows = 0;
};

class AccountSectionTest : public MainWindowFixture {
protected:
    FakeSecretStore secrets;
    AuthService auth{
        SettingsStore::shared(),
        secrets,
        [](const HttpRequest&) -> HttpResponse { throw HttpError(HttpErrorKind::other); },
        "http://127.0.0.1:1",
        "http://127.0.0.1:1",
        &appState};
    CountingWindows windows;
    std::unique_ptr<AccountSection> page;

    void SetUp() override {
        context.windows = &windows;
        context.logout = [this] { auth.logout(); };
        appState.setIsAuthenticated(true);
        appState.setUserEmail("user@ormil.test");
        appState.setUserPlan("Free");
        page = std::make_unique<AccountSection>(context);
        page->resize(640, 560);
        page->show();
        page->notifyAppeared();
    }

    template <typename T>
    T* shown(const QString& name) {
        T* w = page->findChild<T*>(name);
        return w && w->isVisible() ? w : nullptr;
    }
};

}  // namespace

TEST_F(AccountSectionTest, WordCountAndBarFollowTheQuota) {
    struct Case {
        int used;
        int limit;
        const char* count;
        bool bar;
        double fraction;
        bool red;
    };
    const Case cases[] = {
        {1500, 2000, "1500 / 2000", true, 0.75, false},
        {2500, 2000, "2500 / 2000", true, 1.0, true},
        {0, 0, "0 / 0", true, 0.0, true},
        {1234, -1, "1234 / ∞", false, 0, false},
        {1234, 999999, "1234 / 999999", true, 1234 / 999999.0, false},
        {1234, 1000000, "1234 / ∞", false, 0, false},
    };
    for (const Case& c : cases) {
        appState.setWordsLimit(c.limit);
        appState.setWordsUsed(c.used);
        EXPECT_EQ(page->findChild<QLabel*>("wordCount")->text(), QString::fromUtf8(c.count));
        auto* bar = page->findChild<QProgressBar*>();
        EXPECT_EQ(bar->isVisible(), c.bar) << c.count;
        if (!c.bar) continue;
        EXPECT_NEAR(double(bar->value()) / bar->maximum(), c.fraction, 1e-3) << c.count;
        EXPECT_EQ(bar->palette().color(QPalette::Highlight), c.red ? Colors::red() : Colors::blue())
            << c.count;
        if (c.used == 1500) testsupport::saveScreenshot(page.get(), "account-signed-in");
        if (c.used == 2500) testsupport::saveScreenshot(page.get(), "account-over-limit");
    }
    // Numbers far beyond the bar's own range still give a full bar.
    const auto big = AccountSection::usage(qint64(1) << 40, 999999);
    EXPECT_EQ(big.barValue, AccountSection::kBarRange);
    EXPECT_EQ(big.count, "1099511627776 / 999999");
}

TEST_F(AccountSectionTest, NameFallsBackAndLogoutFlipsThePage) {
    const auto nameShown = [&] {
        for (QLabel* l : page->findChildren<QLabel*>())
            if (l->isVisible() && (l->text().contains('@') || l->text() == "Alex"))
                return l->text();
        return QString();
    };
    EXPECT_EQ(nameShown(), "user@ormil.test");
    appState.setUserName("Alex");
    appState.setUserEmail("");
    EXPECT_EQ(nameShown(), "Alex");

    EXPECT_FALSE(shown<QPushButton>("loginRegister"));
    QTest::mouseClick(shown<QPushButton>("logout"), Qt::LeftButton);
    ASSERT_TRUE(testsupport::waitUntil([&] { return shown<QPushButton>("loginRegister"); }));
    EXPECT_FALSE(shown<QPushButton>("logout"));
    EXPECT_EQ(appState.userPlan(), "Free");

    QTest::mouseClick(shown<QPushButton>("loginRegister"), Qt::LeftButton);
    EXPECT_EQ(windows.loginWindows, 1);
    // Signing in elsewhere brings the signed-in form back.
    appState.setIsAuthenticated(true);
    EXPECT_TRUE(shown<QPushButton>("logout"));
}

TEST_F(AccountSectionTest, EachFormKeepsItsItemsTheirDistanceApart) {
    // Signed in: the name and the plan 8 apart, the avatar 20 above them.
    testsupport::processEvents();
    auto* name = page->findChild<QLabel*>();
    for (QLabel* l : page->findChildren<QLabel*>())
        if (l->text() == "user@ormil.test") name = l;
    auto* badge = page->findChild<Badge*>();
    ASSERT_TRUE(name && badge);
    EXPECT_EQ(badge->geometry().top() - name->geometry().bottom() - 1, 8);
    // Signed out (in a stack as tall as the signed-in form): 16 apart.
    appState.setIsAuthenticated(false);
    testsupport::processEvents();
    auto* login = shown<QPushButton>("loginRegister");
    ASSERT_TRUE(login);
    QList<QWidget*> items;
    for (QWidget* w : login->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible()) items << w;
    std::sort(items.begin(), items.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    ASSERT_EQ(items.size(), 4);
    // Each item as tall as it needs (a taller label would show its text
    // in the middle of empty space), each 16 below the one before.
    for (int i = 0; i < items.size(); ++i) {
        QWidget* w = items[i];
        const int needed =
            w->hasHeightForWidth() ? w->heightForWidth(w->width()) : w->sizeHint().height();
        EXPECT_EQ(w->height(), needed) << i;
        if (i > 0) {
            EXPECT_EQ(w->geometry().top() - items[i - 1]->geometry().bottom() - 1, 16) << i;
        }
    }
}

TEST_F(MainWindowFixture, ProductsPageOpensTheSiteWithItsFixedQuery) {
    QList<QUrl> opened;
    ProductsSection page(nullptr, [&](const QUrl& url) {
        opened << url;
        return true;
    });
    page.resize(720, 480);
    page.show();
    page.notifyAppeared();
    testsupport::saveScreenshot(&page, "products");

    for (const char* language : {"en", "de"}) {
        setLanguage(language);
        page.refresh();
        QTest::mouseClick(page.findChild<QPushButton*>("openProduct"), Qt::LeftButton);
    }
    ASSERT_EQ(opened.size(), 2);
    for (const QUrl& url : opened) {
        EXPECT_EQ(url.scheme(), "https");
        EXPECT_EQ(url.path(), "/");
        EXPECT_EQ(
            QUrlQuery(url).queryItems(),
            (QList<QPair<QString, QString>>{
                {"utm_source", "ormil"}, {"utm_medium", "app"}, {"utm_campaign", "our_products"}}));
    }
    EXPECT_EQ(opened[0], opened[1]);

    // Every text but the product's name follows the language.
    QStringList german;
    for (QLabel* l : page.findChildren<QLabel*>()) german << l->text();
    setLanguage("en");
    page.refresh();
    QStringList english;
    for (QLabel* l : page.findChildren<QLabel*>()) english << l->text();
    for (qsizetype i = 0; i < english.size(); ++i) {
        if (english[i].isEmpty()) continue;
        if (english[i] == "D7Avu")
            EXPECT_EQ(german[i], "D7Avu");
        else
            EXPECT_NE(german[i], english[i]) << english[i].toStdString();
    }
}
