// Libraries opened on first use: a library that is missing, broken or
// without a function leaves load() false with the reason, said once in the
// log, and the next path set for it is opened afresh.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/OnDemandLibrary.h"
#include "support/TestSupport.h"

TEST(OnDemandLibrary, OpensOnceAndGivesTheFunctions) {
    OnDemandLibrary libm("libm.so.6", {"cos", "sqrt"}, "[Test]", "no mathematics");
    ASSERT_TRUE(libm.load());
    EXPECT_TRUE(libm.load());
    EXPECT_EQ(libm.function<double (*)(double)>(0)(0.0), 1.0);
    EXPECT_EQ(libm.function<double (*)(double)>(1)(9.0), 3.0);
    EXPECT_TRUE(libm.loadError().isEmpty());
}

TEST(OnDemandLibrary, AnUnusableLibraryFailsWithOneLogLine) {
    const QString notALibrary = testsupport::root() + "/libnot.so";
    testsupport::writeFile(notALibrary, "plain text, not a shared object");
    struct Case {
        const char* name;
        QString path;
        const char* reason;
    };
    const Case cases[] = {
        {"missing", testsupport::root() + "/nowhere/libm.so.6", "cannot open shared object file"},
        {"not a shared object", notALibrary, "libnot.so"},
        {"without a function", QStringLiteral("libz.so.1"), "libz.so.1 has no cos"},
    };
    OnDemandLibrary libm("libm.so.6", {"cos"}, "[Test]", "no mathematics");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        libm.setPathForTesting(c.path);
        EXPECT_FALSE(libm.load());
        EXPECT_FALSE(libm.load());
        const QString error = libm.loadError();
        EXPECT_TRUE(error.startsWith(c.path + " cannot be loaded (")) << qPrintable(error);
        EXPECT_TRUE(error.contains(c.reason)) << qPrintable(error);
        EXPECT_TRUE(error.endsWith("): no mathematics")) << qPrintable(error);
        EXPECT_EQ(testsupport::debugLogText().count("[Test] " + c.path + " cannot be loaded ("), 1);
    }
    libm.setPathForTesting({});
    ASSERT_TRUE(libm.load());
    EXPECT_EQ(libm.function<double (*)(double)>(0)(0.0), 1.0);
}
