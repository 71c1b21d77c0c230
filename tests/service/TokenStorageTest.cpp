#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "platform/SecretStore.h"
#include "platform/SettingsStore.h"
#include "service/TokenStorage.h"
#include "support/TestSupport.h"
#include "fakes/FakeSecretStore.h"
#include "platform/linux/LibsecretStore.h"

namespace {
const QString kService = "com.ormil.app";

struct Tiers {
    SettingsStore settings;
    FakeSecretStore secrets;
    TokenStorage storage{settings, secrets};
    void putSecret(const QString& key, const QString& v) {
        secrets.items[{kService, key}] = v.toUtf8();
    }
    std::optional<QString> copy(const QString& key) {
        return settings.string("ormil_auth_fallback_" + key);
    }
};
}  // namespace

TEST(TokenStorage, SaveWritesAllTiersAndReadsFromMemoryFirst) {
    Tiers t;
    t.storage.saveToken("acc1", "access_token");
    EXPECT_EQ(t.copy("access_token"), QString("acc1"));
    EXPECT_EQ((t.secrets.items[{kService, "access_token"}]), "acc1");
    t.putSecret("access_token", "changed-elsewhere");
    const TokenReadResult r = t.storage.readToken("access_token");
    EXPECT_EQ(r.token, QString("acc1"));
    EXPECT_EQ(r.status, 0);
}

TEST(TokenStorage, ReadTableAfterRestart) {
    struct Case {
        const char* name;
        std::optional<QString> secret;    // item in the secret store
        std::optional<int> forcedStatus;  // secret store answer instead
        std::optional<QString> copy;      // plain copy in settings
        std::optional<QString> expected;
        int status;
        bool copyAfter;  // plain copy still there afterwards
    };
    const Case cases[] = {
        {"secret only repairs copy", QString("k"), {}, {}, QString("k"), 0, true},
        {"secret wins over copy", QString("k"), {}, QString("old"), QString("k"), 0, true},
        {"item gone, copy restores", {}, {}, QString("c"), QString("c"), 0, true},
        {"locked with copy", {}, -25308, QString("c"), QString("c"), 0, true},
        {"locked without copy", {}, -25308, {}, {}, -25308, false},
        {"auth failed with copy", {}, -25293, QString("c"), QString("c"), 0, true},
        {"auth failed without copy", {}, -25293, {}, {}, -25293, false},
        {"no service with copy", {}, -25291, QString("c"), QString("c"), 0, true},
        {"nothing anywhere", {}, {}, {}, {}, -25300, false},
        {"empty item", QString(""), {}, {}, {}, 0, false},
    };
    for (const Case& c : cases) {
        Tiers t;
        if (c.secret) t.putSecret("refresh_token", *c.secret);
        if (c.copy) t.settings.set("ormil_auth_fallback_refresh_token", *c.copy);
        t.secrets.forcedReadStatus = c.forcedStatus;
        const TokenReadResult r = t.storage.readToken("refresh_token");
        EXPECT_EQ(r.token, c.expected) << c.name;
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(t.copy("refresh_token").has_value(), c.copyAfter) << c.name;
        if (c.expected && c.secret) {
            EXPECT_EQ(t.copy("refresh_token"), c.expected) << c.name;
        }
    }
}

TEST(TokenStorage, LockedStoreNeverDeletesAndAuthFailureDeletesOnlyWithoutCopy) {
    Tiers t;
    t.secrets.forcedReadStatus = -25308;
    t.storage.readToken("access_token");
    EXPECT_EQ(t.secrets.removeCalls, 0);
    t.secrets.forcedReadStatus = -25293;
    t.storage.readToken("access_token");
    EXPECT_EQ(t.secrets.removeCalls, 1);
    EXPECT_TRUE(
        testsupport::debugLogText().contains("Связка ключей заперта — токен 'access_token'"));
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Auth] Keychain item 'access_token' inaccessible (status -25293), deleting"));
}

TEST(TokenStorage, FailedSecretWriteKeepsTokenUsableAndLogsIt) {
    Tiers t;
    t.secrets.forcedAddStatus = -25291;
    t.storage.saveToken("tok", "access_token");
    TokenStorage afterRestart(t.settings, t.secrets);
    EXPECT_EQ(afterRestart.readToken("access_token").token, QString("tok"));
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Auth] SecItemAdd for 'access_token' returned -25291 (fallback active)"));
}

TEST(TokenStorage, DeleteClearsEveryTier) {
    Tiers t;
    t.storage.saveToken("a", "access_token");
    t.storage.deleteToken("access_token");
    EXPECT_FALSE(t.copy("access_token"));
    EXPECT_TRUE(t.secrets.items.empty());
    EXPECT_FALSE(t.storage.readToken("access_token").token);
}

// The real Secret Service: a private session bus with an unlocked keyring.
// (An empty password would make the keyring ask a prompter to create it.)
TEST(TokenStorage, RoundTripThroughRealSecretService) {
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QByteArray address = bus.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QProcess keyring;
    keyring.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    keyring.start("gnome-keyring-daemon",
                  {"--unlock", "--components=secrets", "--foreground",
                   "--control-directory=" + testsupport::root() + "/keyring"});
    keyring.write("test");  // creates the login keyring, unlocked, without a prompt
    keyring.closeWriteChannel();
    LibsecretStore store;
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return store.read("probe", "probe").status != SecretStore::notAvailable; }, 20000))
        << "the secret service did not come up";

    SettingsStore settings;
    {
        TokenStorage storage(settings, store);
        storage.saveToken("access-123", "access_token");
        storage.saveToken("refresh-456", "refresh_token");
        storage.saveToken("access-789", "access_token");  // replaces the item
    }
    settings.remove("ormil_auth_fallback_access_token");
    settings.remove("ormil_auth_fallback_refresh_token");
    TokenStorage fresh(settings, store);
    EXPECT_EQ(fresh.readToken("access_token").token, QString("access-789"));
    EXPECT_EQ(fresh.readToken("refresh_token").token, QString("refresh-456"));
    fresh.deleteToken("access_token");
    EXPECT_EQ(store.read(kService, "access_token").status, SecretStore::itemNotFound);

    keyring.kill();
    keyring.waitForFinished();
    bus.kill();
    bus.waitForFinished();
}
