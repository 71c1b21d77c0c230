// Start-up's bounded questions to the desktop portals: the application's id
// for the host registry and the interfaces' versions, against a stand-in
// portal that answers from a thread of its own (the questions block).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include "fakes/FakeDesktopPortal.h"
#include "platform/linux/DesktopPortal.h"
#include "support/TestSupport.h"

namespace {

const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

class DesktopPortalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
        thread.start();
        context.moveToThread(&thread);
    }
    void TearDown() override {
        onPortalThread([&] { portal.reset(); });
        thread.quit();
        thread.wait();
        bus.disconnect(QStringLiteral("start-up"));
    }
    void onPortalThread(const std::function<void()>& f) {
        QMetaObject::invokeMethod(&context, f, Qt::BlockingQueuedConnection);
    }
    void startPortal(bool hasRegistry, uint version) {
        onPortalThread([&] {
            portal = std::make_unique<FakeDesktopPortal>(bus);
            portal->hasRegistry = hasRegistry;
            portal->version = version;
        });
    }

    PrivateBus bus{testsupport::root()};
    QThread thread;
    QObject context;
    std::unique_ptr<FakeDesktopPortal> portal;
};

TEST_F(DesktopPortalTest, RegistersTheApplicationWhereTheRegistryExists) {
    startPortal(true, 2);
    const QDBusConnection client = bus.connect(QStringLiteral("start-up"));
    QString error;
    EXPECT_TRUE(DesktopPortal::registerHostApplication(client, "ormil", 3000, &error));
    EXPECT_EQ(DesktopPortal::interfaceVersion(client, kShortcuts, 3000), 2u);
    EXPECT_EQ(DesktopPortal::interfaceVersion(
                  client, QStringLiteral("org.freedesktop.portal.Nonsense"), 3000),
              0u);
    onPortalThread([&] { EXPECT_EQ(portal->calls, QStringList{"Register ormil"}); });
}

TEST_F(DesktopPortalTest, NoRegistryOrNoPortalAnswersAtOnce) {
    struct Case {
        const char* name;
        bool portal;
        const char* error;
        uint version;
    };
    for (const Case c :
         {Case{"older portal", true, "org.freedesktop.DBus.Error.UnknownMethod", 1},
          Case{"no portal", false, "org.freedesktop.DBus.Error.ServiceUnknown", 0}}) {
        if (c.portal) startPortal(false, 1);
        const QDBusConnection client = bus.connect(QStringLiteral("start-up"));
        QElapsedTimer elapsed;
        elapsed.start();
        QString error;
        EXPECT_FALSE(DesktopPortal::registerHostApplication(client, "ormil", 3000, &error))
            << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_EQ(DesktopPortal::interfaceVersion(client, kShortcuts, 3000), c.version) << c.name;
        // Answered by the bus, not by the time limit.
        EXPECT_LT(elapsed.elapsed(), 2500) << c.name;
        onPortalThread([&] { portal.reset(); });
        bus.disconnect(QStringLiteral("start-up"));
    }
}

}  // namespace
