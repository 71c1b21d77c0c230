#include <gtest/gtest.h>

#include "fakes/FakePasteboard.h"
#include "platform/Pasteboard.h"

// A service made early in the launch holds the forwarding pasteboard; the
// session's clipboard chosen later (a wlroots desktop's) must be the one it
// writes to and reads from.
TEST(ForwardingPasteboard, ReachesTheClipboardInstalledAfterItWasHandedOut) {
    Pasteboard& early = Pasteboard::forwarding();
    FakePasteboard first;
    FakePasteboard later;
    Pasteboard::setShared(&first);
    early.setString("one");
    Pasteboard::setShared(&later);
    early.clearContents();
    early.setString("two");
    EXPECT_EQ(first.string(), "one");
    EXPECT_EQ(later.string(), "two");
    EXPECT_EQ(early.string(), "two");
    EXPECT_EQ(early.changeCount(), later.changeCount());
    Pasteboard::setShared(nullptr);
}
