// The update check: version order, the manifest's strict shape, the walk
// over the mirrors, the one-alert rule and the installation marker.
#include <gtest/gtest.h>

#include <limits>

#include "UpdateTestKit.h"
#include "core/L10n.h"

using namespace updatetest;

TEST(UpdateVersions, IsNewerComparesPiecesAsNumbers) {
    struct Case {
        const char* a;
        const char* b;
        bool newer;
    };
    const Case cases[] = {
        {"1.2.0", "1.2", false},
        {"1.2", "1.2.0", false},
        {"1.10", "1.9", true},
        {"1.9", "1.10", false},
        {"2.0-beta", "2.0", false},  // "0-beta" is dropped: 2 against 2.0
        {"2.1", "2.0-beta", true},
        {"1..2", "1.2", false},  // an empty piece leaves no gap
        {"1..3", "1.2", true},
        {"1.99999999999999999999", "1.1", false},   // an overflowing piece is dropped
        {"1.99999999999999999999.5", "1.4", true},  // and the next moves up
        {"", "", false},
        {"0.0.1", "", true},
        {"", "0.0.1", false},
        {"+2", "1", true},
        {"-1", "0", false},
        {"rc1.5", "4", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateService::isNewer(c.a, c.b), c.newer) << c.a << " vs " << c.b;
    }
}

TEST(UpdateManifestDecoding, RequiredKeysTypesAndOrder) {
    const QByteArray complete =
        R"({"version":"1.4.2","releaseDate":"2026-11-30","downloadUrl":"https://a/x.zip",)"
        R"("downloadUrls":["https://b/x.zip"],"sha256":"AB","releaseNotes":"Notes",)"
        R"("fileSize":10,"minVersion":"1.0","mandatory":false})";
    auto with = [&](const char* from, const char* to) {
        return QByteArray(complete).replace(from, to);
    };
    struct Case {
        const char* name;
        QByteArray body;
        bool decodes;
    };
    const Case cases[] = {
        {"complete", complete, true},
        {"missing mandatory", with(R"(,"mandatory":false)", ""), false},
        {"mandatory 0", with(R"("mandatory":false)", R"("mandatory":0)"), false},
        {"fileSize as text", with(R"("fileSize":10)", R"("fileSize":"10")"), false},
        {"fileSize 10.5", with(R"("fileSize":10)", R"("fileSize":10.5)"), false},
        {"downloadUrls null", with(R"(["https://b/x.zip"])", "null"), true},
        {"downloadUrls absent", with(R"("downloadUrls":["https://b/x.zip"],)", ""), true},
        {"downloadUrls of numbers", with(R"(["https://b/x.zip"])", "[1]"), false},
        {"minVersion null", with(R"("minVersion":"1.0")", R"("minVersion":null)"), true},
        {"extra keys", with(R"("mandatory":false)", R"("mandatory":false,"channel":"beta")"), true},
        {"null version", with(R"("version":"1.4.2")", R"("version":null)"), false},
        {"not JSON", "<html>503</html>", false},
        {"array", "[]", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateManifest::decode(c.body).manifest.has_value(), c.decodes) << c.name;
    }
    const auto m = UpdateManifest::decode(complete).manifest;
    ASSERT_TRUE(m);
    EXPECT_EQ(m->encode(), complete);
    EXPECT_EQ(m->downloadUrls, QStringList{"https://b/x.zip"});
}

TEST(UpdateManifestDecoding, DownloadLocationsInOrderWithoutRepeats) {
    UpdateManifest m;
    m.downloadUrls = QStringList{"https://a", "https://a", "", "https://b"};
    EXPECT_EQ(m.downloadLocations(), (QStringList{"https://a", "https://b"}));
    m.downloadUrl = "https://b";
    EXPECT_EQ(m.downloadLocations(), (QStringList{"https://b", "https://a"}));
}

namespace {

const QString kMirror1 = "/ORMIL-linux/manifest.json";
const QString kMirror2 = "/updates/ORMIL-linux/manifest.json";

QByteArray manifestJson(const QString& version) {
    UpdateManifest m;
    m.version = version;
    m.releaseDate = "2026-12-01";
    m.downloadUrl = "https://example.invalid/x.zip";
    m.sha256 = QString(64, 'a');
    m.releaseNotes = "Better.";
    m.fileSize = 1;
    return m.encode();
}

}  // namespace

TEST(UpdateMirrors, WalkStopsAtTheFirstAnswer) {
    DevService stand;
    const QString dead = "http://127.0.0.1:" + QString::number(closedPort());

    // 404 on the first mirror, a newer manifest on the second.
    {
        Rig rig("1.9");
        rig.collaborators.manifestURLs = {"not a url", stand.url(kMirror1), stand.url(kMirror2)};
        publish(stand, "/__control/updates/manifest?path=" + kMirror2, manifestJson("1.10"));
        rig.check(false);
        ASSERT_EQ(rig.presenter.offers.size(), 1);
        EXPECT_EQ(rig.presenter.offers[0], L10n::updateAvailableTitle() + " 1.10|Better.\n\n" +
                                               L10n::updateCurrentVersion() + ": 1.9");
        EXPECT_TRUE(testsupport::debugLogText().contains("[Update] Mirror " + stand.url(kMirror1) +
                                                         " failed: HTTP 404"));
        const auto asked = stand.requests(kMirror2);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0].query, "t=1700000000");
        EXPECT_FALSE(rig.service().isBusy());  // "Later"
    }

    // A 200 that is no manifest ends the check: the second mirror is not asked.
    stand.reset();
    {
        Rig rig("1.0");
        rig.collaborators.manifestURLs = {stand.url(kMirror1), stand.url(kMirror2)};
        publish(stand, "/__control/updates/manifest?path=" + kMirror1,
                R"({"version":"2.0","releaseDate":"x","downloadUrl":"","sha256":"",)"
                R"("releaseNotes":"","fileSize":1})");
        publish(stand, "/__control/updates/manifest?path=" + kMirror2, manifestJson("2.0"));
        rig.check(false);
        EXPECT_TRUE(rig.presenter.infos.isEmpty());
        rig.check(true);
        EXPECT_EQ(rig.presenter.infos, QStringList{L10n::updateCheckFailed()});
        EXPECT_TRUE(rig.presenter.offers.isEmpty());
        EXPECT_TRUE(stand.requests(kMirror2).isEmpty());
        EXPECT_TRUE(testsupport::debugLogText().contains("[Update] Check failed: "));
    }

    // Every mirror dead: silent when automatic, one alert when asked for.
    {
        Rig rig("1.0");
        rig.collaborators.manifestURLs = {dead + kMirror1, dead + kMirror2};
        rig.check(false);
        EXPECT_TRUE(rig.presenter.infos.isEmpty());
        rig.check(true);
        EXPECT_EQ(rig.presenter.infos, QStringList{L10n::updateCheckFailed()});
        EXPECT_TRUE(testsupport::debugLogText().contains("[Update] Mirror " + dead + kMirror1 +
                                                         " error: "));
    }

    // Up to date: told only when asked.
    {
        Rig rig("2.0.0");
        rig.collaborators.manifestURLs = {stand.url(kMirror2)};
        rig.check(false);
        rig.check(true);
        EXPECT_EQ(rig.presenter.infos, QStringList{L10n::updateUpToDate("2.0.0")});
        EXPECT_TRUE(testsupport::debugLogText().contains("[Update] App is up to date"));
    }
}

TEST(UpdateMirrors, OneAlertAtATime) {
    DevService stand;
    publish(stand, "/__control/updates/manifest?path=" + kMirror1, manifestJson("3.0"));
    Rig rig("1.0");
    rig.collaborators.manifestURLs = {stand.url(kMirror1)};
    // While the first alert is open, a manual check finds the same update.
    bool second = false;
    rig.presenter.duringOffer = [&] {
        if (second) return;
        second = true;
        rig.check(true);
    };
    rig.check(false);
    EXPECT_EQ(rig.presenter.offers.size(), 1);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Update] Update 3.0 is already offered or installing; skipping this alert"));
    // Once the alert is gone, the update may be offered again.
    rig.check(false);
    EXPECT_EQ(rig.presenter.offers.size(), 2);
}

TEST(UpdateMarker, ConsumedOnceAtTheFirstStart) {
    struct Case {
        const char* marker;
        const char* code;
        const char* message;
    };
    const Case cases[] = {
        {"1.2.0", "update_completed", "Update to 1.2.0 completed; current is 1.2"},
        {"1.1", "update_completed", "Update to 1.1 completed; current is 1.2"},
        {"1.3", "update_failed_after_restart", "Update to 1.3 did not apply; current is 1.2"},
    };
    for (const Case& c : cases) {
        Rig rig("1.2");
        rig.settings->set(UpdateService::pendingUpdateKey, QString(c.marker));
        rig.service().checkAfterDelay(5);
        ASSERT_EQ(rig.reports.size(), 1u) << c.marker;
        EXPECT_EQ(rig.reports[0].code, c.code);
        EXPECT_EQ(rig.reports[0].message, c.message);
        EXPECT_EQ(rig.reports[0].context.value("target_version").toString(), c.marker);
        EXPECT_EQ(rig.reports[0].context.value("current_version").toString(), "1.2");
        EXPECT_EQ(rig.reports[0].context.value("app_path").toString(), "/running/Ormil");
        EXPECT_FALSE(rig.settings->contains(UpdateService::pendingUpdateKey));

        // The first check after 5 s, then every six hours; a second start
        // neither reads a marker nor schedules again.
        ASSERT_EQ(rig.scheduled.size(), 2u);
        EXPECT_EQ(rig.scheduled[0].seconds, 5);
        EXPECT_FALSE(rig.scheduled[0].repeating);
        EXPECT_EQ(rig.scheduled[1].seconds, UpdateService::periodicInterval);
        EXPECT_TRUE(rig.scheduled[1].repeating);
        rig.settings->set(UpdateService::pendingUpdateKey, QString(c.marker));
        rig.service().checkAfterDelay(5);
        EXPECT_EQ(rig.reports.size(), 1u);
        EXPECT_EQ(rig.scheduled.size(), 2u);
    }
    // Waking up: one more check, 30 s later.
    Rig rig;
    rig.service().handleWake();
    ASSERT_EQ(rig.scheduled.size(), 1u);
    EXPECT_EQ(rig.scheduled[0].seconds, UpdateService::wakeDelay);
}
