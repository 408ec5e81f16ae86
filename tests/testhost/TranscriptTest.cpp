#include <gtest/gtest.h>

#include "PartsSupport.h"

namespace pixlor::host {
namespace {

TEST(Transcript, ShowsThePassiveFolderInEitherSlashFormAsOneName) {
    testing::CapturedTranscript out;
    Transcript& t = out.transcript;
    t.MaskFolder("/tmp/px1/out");
    EXPECT_EQ(t.Normalise("to /tmp/px1/out/02-05-17"), "to <passive>/02-05-17");
    EXPECT_EQ(t.Normalise("\\tmp\\px1\\out\\pic.jpg"), "<passive>\\pic.jpg");
    EXPECT_EQ(t.Normalise("/tmp/px1/outer"), "<passive>er") << "a plain text replacement";
    // A root folder is too short to stand for the passive folder.
    t.MaskFolder("C:\\");
    EXPECT_EQ(t.Normalise("C:\\x"), "C:\\x");
}

TEST(Transcript, PrintsThePluginsBytesThroughItsCodePageAndCountsFailures) {
    testing::CapturedTranscript out;
    Transcript& t = out.transcript;
    t.SetCodePage(866);
    t.Print("\x8A\xAE\xAF");    // "Коп" in code page 866
    t.Print("\xD0\x9A", false); // the script's own UTF-8, as it is
    EXPECT_FALSE(t.Failed());
    t.SetLine(12);
    t.Fail("expected nothing");
    EXPECT_TRUE(t.Failed());
    EXPECT_EQ(out.Text(), "Коп\nК\nFAILED line 12: expected nothing\n");
}

} // namespace
} // namespace pixlor::host
