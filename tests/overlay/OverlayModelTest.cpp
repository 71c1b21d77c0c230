#include <gtest/gtest.h>

#include <QRegularExpression>

#include "overlay/OverlayModel.h"
#include "overlay/OverlayPainter.h"
#include "fakes/FakeClock.h"
#include "support/TestSupport.h"

namespace {
// A meter whose random factor is fixed (or taken from a list, then 1).
struct Meter {
    explicit Meter(float r = 1.0f) : factor(r), model(clock, [this] { return factor; }) {}
    void ticks(int n) {
        for (int i = 0; i < n; ++i) clock.advance(0.05);
    }
    float factor;
    FakeClock clock;
    OverlayModel model;
};

const double kWeights[10] = {0.46, 0.58, 0.70, 0.82, 0.94, 0.94, 0.82, 0.70, 0.58, 0.46};
}  // namespace

TEST(OverlayMeter, BarsFollowTheSquareRootOfTheClampedLevel) {
    struct Case {
        float raw;
        float r;
        double level;  // the settled level before the weight
    };
    const Case cases[] = {{0.0f, 1.0f, 0.0},   {-0.5f, 1.0f, 0.0}, {NAN, 1.0f, 0.0},
                          {0.25f, 1.0f, 0.5},  {1.0f, 1.0f, 1.0},  {7.0f, 1.0f, 1.0},
                          {0.25f, 0.7f, 0.35}, {0.36f, 1.3f, 0.78}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "raw " << c.raw << " r " << c.r);
        Meter m(c.r);
        m.model.startWaveform();
        m.model.setAudioLevel(c.raw);
        m.ticks(60);  // long enough to settle
        for (int i = 0; i < 10; ++i)
            EXPECT_NEAR(m.model.barHeights()[i], kWeights[i] * c.level * 18 + 2, 1e-3) << i;
    }
}

TEST(OverlayMeter, EachTickMovesSixTenthsOfTheWayAndClampsAt20) {
    Meter m(1.3f);
    m.model.startWaveform();
    m.model.setAudioLevel(1.0f);
    m.ticks(1);
    // Middle bar: target 0.94 x 1.3 = 1.222, first step 0.6 of it.
    EXPECT_NEAR(m.model.barHeights()[4], 1.222 * 0.6 * 18 + 2, 1e-4);
    EXPECT_NEAR(m.model.barHeights()[0], 0.46 * 1.3 * 0.6 * 18 + 2, 1e-4);
    m.ticks(30);
    EXPECT_DOUBLE_EQ(m.model.barHeights()[4], 20.0);
    EXPECT_NEAR(m.model.barHeights()[0], 0.598 * 18 + 2, 1e-3);
}

TEST(OverlayMeter, DrawsAFreshFactorPerBarAndTick) {
    FakeClock clock;
    int draws = 0;
    OverlayModel model(clock, [&] {
        ++draws;
        return (draws % 2) ? 0.7f : 1.3f;  // alternating between the bounds
    });
    model.startWaveform();
    model.setAudioLevel(1.0f);
    clock.advance(0.05);
    EXPECT_EQ(draws, 10);
    // Bars 4 and 5 share a weight; the factors set them apart.
    EXPECT_NEAR(model.barHeights()[4], 0.94 * 0.7 * 0.6 * 18 + 2, 1e-4);
    EXPECT_NEAR(model.barHeights()[5], 0.94 * 1.3 * 0.6 * 18 + 2, 1e-4);
}

TEST(OverlayMeter, DefaultRandomFactorStaysInItsRange) {
    auto random = OverlayModel::defaultRandomSource();
    float lo = 2, hi = 0;
    for (int i = 0; i < 20000; ++i) {
        const float r = random();
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_GE(lo, 0.7f);
    EXPECT_LE(hi, 1.3f);
    EXPECT_LT(lo, 0.71f);
    EXPECT_GT(hi, 1.29f);
}

TEST(OverlayMeter, RestartResetsAndKeepsOneTimer) {
    Meter m;
    m.model.startWaveform();
    m.model.setAudioLevel(1.0f);
    m.ticks(10);
    ASSERT_GT(m.model.barHeights()[4], 10);
    m.model.startWaveform();
    EXPECT_EQ(m.clock.pendingTimers(), 1);
    EXPECT_EQ(m.model.audioLevel(), 0.0f);
    for (double h : m.model.barHeights()) EXPECT_EQ(h, 2.0);
    // The smoothed levels were reset too: a new level starts from nothing.
    m.model.setAudioLevel(1.0f);
    m.ticks(1);
    EXPECT_NEAR(m.model.barHeights()[4], 0.94 * 0.6 * 18 + 2, 1e-4);

    m.model.stopWaveform();
    EXPECT_EQ(m.clock.pendingTimers(), 0);
    const auto frozen = m.model.barHeights();
    m.ticks(5);
    EXPECT_EQ(m.model.barHeights(), frozen);  // stopping leaves the bars as they are
}

TEST(OverlayMeter, LogsTheFirstFiveTicksThenEveryFortieth) {
    Meter m;
    m.model.startWaveform();
    m.model.setAudioLevel(0.25f);
    m.ticks(125);
    m.model.stopWaveform();
    m.model.stopWaveform();  // no timer: no line
    const QString log = testsupport::debugLogText();
    QList<int> ticks;
    QRegularExpression re(R"(\[Waveform\] #(\d+): )");
    for (auto it = re.globalMatch(log); it.hasNext();) ticks << it.next().captured(1).toInt();
    EXPECT_EQ(ticks, QList<int>({1, 2, 3, 4, 5, 40, 80, 120}));
    EXPECT_TRUE(log.contains("[Waveform] #1: raw=0.25 level=0.5 bars=[4,5,6,6,7,7,6,6,5,4]"))
        << log.toStdString();
    EXPECT_EQ(log.count("[Waveform] stopWaveform()"), 1);

    m.model.startWaveform();  // a restart counts from 1 again
    m.model.setAudioLevel(1.0f);
    m.ticks(1);
    EXPECT_TRUE(testsupport::debugLogText().contains("[Waveform] #1: raw=1.0 level=1.0 bars="));
}

TEST(OverlaySpinner, AdvancesEveryTenthOfASecondUntilReleased) {
    FakeClock clock;
    auto spinner = std::make_unique<SpinnerModel>(clock);
    EXPECT_EQ(spinner->activeIndex(), 0);
    clock.advance(0.1);
    EXPECT_EQ(spinner->activeIndex(), 1);
    clock.advance(0.8);
    EXPECT_EQ(spinner->activeIndex(), 1);  // wrapped round
    spinner.reset();
    EXPECT_EQ(clock.pendingTimers(), 0);
}

TEST(OverlaySpinner, BrightSpokeTrailedByTwo) {
    const double expected[8] = {1.0, 0.3, 0.3, 0.3, 0.3, 0.3, 0.45, 0.7};  // spoke 0 bright
    for (int active : {0, 3}) {
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(OverlayPainter::spokeOpacity((i + active) % 8, active), expected[i]);
    }
}
