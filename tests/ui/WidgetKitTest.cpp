#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "support/Screenshots.h"
#include "ui/Badge.h"
#include "ui/BusySpinner.h"
#include "ui/Card.h"
#include "ui/EmptyState.h"
#include "ui/Graphemes.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/SearchField.h"
#include "ui/SegmentedControl.h"
#include "ui/Switch.h"

TEST(Graphemes, CountsAndCutsWhatAUserSeesAsOneCharacter) {
    const QString thumb = QStringLiteral("👍🏽");             // emoji + skin tone
    const QString accented = QStringLiteral("e\u0301");           // e + combining acute
    const QString flag = QStringLiteral("🇷🇺");                    // two regional indicators
    const QString family = QStringLiteral("👨‍👩‍👧");  // joined by ZWJ
    struct Case {
        QString text;
        int count;
        int n;
        QString left;
    } cases[] = {
        {"", 0, 3, ""},
        {"abc", 3, 2, "ab"},
        {"abc", 3, 5, "abc"},
        {"abc", 3, 0, ""},
        {"a" + thumb + "b", 3, 2, "a" + thumb},
        {accented + accented, 2, 1, accented},
        {flag + flag, 2, 1, flag},
        {family + "x", 2, 1, family},
        {"Привет", 6, 3, "При"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Graphemes::count(c.text), c.count) << c.text.toStdString();
        EXPECT_EQ(Graphemes::left(c.text, c.n), c.left) << c.text.toStdString();
    }
}

TEST(Icons, KnockOutsBecomeHolesAndMarksTakeTheColour) {
    const QColor red(255, 0, 0);
    const QImage img = Icons::pixmap("xmark.circle.fill", 48, red).toImage();
    ASSERT_FALSE(img.isNull());
    // The centre of the cross is cut out of the disc; the disc beside it is red.
    EXPECT_LT(qAlpha(img.pixel(24, 24)), 60);
    const QRgb disc = img.pixel(24, 8);
    EXPECT_GT(qAlpha(disc), 200);
    EXPECT_GT(qRed(disc), 200);
    EXPECT_LT(qGreen(disc), 40);
    EXPECT_TRUE(Icons::pixmap("no.such.symbol", 16, red).isNull());
}

TEST(Icons, EverySymbolRenders) {
    const QStringList names = Icons::names();
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        const QImage img = Icons::pixmap(name, 24, Qt::black).toImage();
        bool inked = false;
        for (int y = 0; y < img.height() && !inked; ++y)
            for (int x = 0; x < img.width() && !inked; ++x) inked = qAlpha(img.pixel(x, y)) > 0;
        EXPECT_TRUE(inked) << name.toStdString();
    }
}

TEST(SearchField, ClearButtonOnlyWithTextAndClearingReportsTheEmptyText) {
    SearchField field;
    EXPECT_EQ(field.clearButton()->accessibleName(), "Clear");
    field.show();
    QSignalSpy changes(&field, &SearchField::textChanged);
    EXPECT_FALSE(field.clearButton()->isVisible());
    QTest::keyClicks(field.lineEdit(), "ab");
    EXPECT_EQ(changes.count(), 2);
    EXPECT_TRUE(field.clearButton()->isVisible());
    field.setText("ab");  // same text: no signal
    EXPECT_EQ(changes.count(), 2);
    QTest::mouseClick(field.clearButton(), Qt::LeftButton);
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(changes.count(), 3);
    EXPECT_EQ(changes.last().at(0).toString(), "");
    EXPECT_FALSE(field.clearButton()->isVisible());
}

TEST(SegmentedControl, ClicksAndArrowKeysChooseOneSegment) {
    SegmentedControl control({"One", "Two", "Three"});
    control.resize(300, 28);
    control.show();
    QSignalSpy spy(&control, &SegmentedControl::currentIndexChanged);
    EXPECT_EQ(control.currentIndex(), 0);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(250, 14));
    EXPECT_EQ(control.currentIndex(), 2);
    QTest::keyClick(&control, Qt::Key_Right);  // already the last
    EXPECT_EQ(control.currentIndex(), 2);
    QTest::keyClick(&control, Qt::Key_Left);
    EXPECT_EQ(control.currentIndex(), 1);
    control.setCurrentIndex(1);  // unchanged: no signal
    control.setCurrentIndex(7);  // out of range: ignored
    EXPECT_EQ(spy.count(), 2);
    control.setTitles({"Only"});
    EXPECT_EQ(control.currentIndex(), 0);
}

TEST(Switch, ClickAndSpaceToggle) {
    Switch sw("Launch at login");
    sw.show();
    QSignalSpy spy(&sw, &Switch::toggled);
    QTest::mouseClick(&sw, Qt::LeftButton);
    EXPECT_TRUE(sw.isChecked());
    sw.setFocus();
    QTest::keyClick(&sw, Qt::Key_Space);
    EXPECT_FALSE(sw.isChecked());
    EXPECT_EQ(spy.count(), 2);
}

TEST(WidgetKit, Screenshot) {
    QWidget w;
    w.resize(420, 420);
    auto* column = new QVBoxLayout(&w);
    auto* card = new Card(&w);
    auto* cardRow = new QHBoxLayout(card);
    cardRow->addWidget(Labels::create("Card title", TextStyle::Headline, card));
    cardRow->addWidget(new Badge("Free", card));
    auto* spinner = new BusySpinner(20, card);
    cardRow->addWidget(spinner);
    column->addWidget(card);
    auto* search = new SearchField(&w);
    search->setPlaceholderText("Search transcriptions...");
    search->setText("hello");
    column->addWidget(search);
    column->addWidget(new SegmentedControl({"Keyboard", "Voice"}, &w));
    auto* on = new Switch("Sound feedback", &w);
    on->setChecked(true);
    column->addWidget(on);
    column->addWidget(new Switch("Hide when idle", &w));
    column->addWidget(new EmptyState("mic.slash", "No recordings yet", "Hold key to start", &w));
    w.show();
    const QString path = testsupport::saveScreenshot(&w, "ui-widget-kit");
    EXPECT_FALSE(QImage(path).isNull());
}
