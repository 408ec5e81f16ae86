#include <gtest/gtest.h>

#include "PartsSupport.h"
#include "tools/host/Expectations.h"
#include "tools/host/PluginLoader.h"

namespace pixlor::host {
namespace {

Command Expect(Op op, std::string text = "", int number = 0) {
    Command c;
    c.op = op;
    c.number = number;
    if (!text.empty()) {
        c.names = {text};
    }
    return c;
}

TEST(Expectations, EachKindAgainstWhatTheHostSaw) {
    testing::ScratchFolder passive("pixlor-expect");
    passive.Write("02-05-17/pic.jpg", "x");
    passive.Write("top.jpg", "y");
    testing::CapturedTranscript out;
    out.transcript.SetCodePage(866);
    out.transcript.MaskFolder(passive.Path());
    const std::vector<std::string> shown = {
        "Copy pictures", "\x8A\xAE\xAF\xA8\xE0\xAE\xA2\xA0\xE2\xEC", "to " + passive.Path() + "/x"};
    const std::vector<PluginPanelItem> items = {hostkit::MakePanelItem(".."),
                                                hostkit::MakePanelItem("a.jpg")};
    const Observed seen{shown, out.transcript, 1, items, -1, passive.Path(), true};

    const struct {
        Command c;
        std::string unmet;
    } cases[] = {
        {Expect(Op::ExpectBox, "Copy pic"), ""},
        {Expect(Op::ExpectBox, "Копировать"), ""}, // shown from code page 866
        {Expect(Op::ExpectBox, "<passive>/x"), ""},
        {Expect(Op::ExpectBox, "Errors"), "a box with \"Errors\""},
        {Expect(Op::ExpectNoBox, "Errors"), ""},
        {Expect(Op::ExpectNoBox, "Copy"), "no box with \"Copy\""},
        {Expect(Op::ExpectItems, "", 1), ""},
        {Expect(Op::ExpectItems, "", 2), "2 items, the panel has 1"},
        {Expect(Op::ExpectItem, "a.jpg"), ""},
        {Expect(Op::ExpectItem, "A.jpg"), "an item \"A.jpg\""},
        {Expect(Op::ExpectResult, "", -1), ""},
        {Expect(Op::ExpectResult, "", 1), "result 1, got -1"},
        {Expect(Op::ExpectFiles, "", 2), ""},
        {Expect(Op::ExpectFiles, "", 1), "1 files in the passive folder, found 2"},
        {Expect(Op::ExpectFile, "02-05-17/pic.jpg"), ""},
        {Expect(Op::ExpectFile, "02-05-17\\pic.jpg"), ""},
        {Expect(Op::ExpectFile, "02-05-17"), ""},
        {Expect(Op::ExpectFile, "02-05-17/"), "a file 02-05-17/ in the passive folder"},
        {Expect(Op::ExpectFile, "TOP.jpg"), "a file TOP.jpg in the passive folder"},
        {Expect(Op::ExpectOpen), ""},
        {Expect(Op::ExpectClosed), "no plugin panel"},
    };
    for (const auto& [c, unmet] : cases) {
        EXPECT_EQ(Unmet(c, seen), unmet) << c.Text() << " " << c.number;
    }
    EXPECT_EQ(CountFiles(passive.Path() + "/missing"), 0);
}

TEST(PluginLoader, ChoosesTheWantedLanguageElseEnglishElseTheFirstFile) {
    const struct {
        std::vector<std::pair<const char*, const char*>> files; // name, header language
        const char* wanted;
        const char* chosen; // file name, "" for none
    } cases[] = {
        {{{"PixlorEng.lng", "English"}, {"PixlorRus.lng", "Russian"}}, "russian", "PixlorRus.lng"},
        {{{"PixlorEng.lng", "English"}, {"PixlorRus.lng", "Russian"}}, "German", "PixlorEng.lng"},
        {{{"A.lng", "German"}, {"B.LNG", "Russian"}}, "English", "A.lng"},
        {{{"notes.txt", "English"}, {"Bad.lng", ""}}, "English", ""},
        {{}, "English", ""},
    };
    for (const auto& c : cases) {
        testing::ScratchFolder folder("pixlor-lang");
        for (const auto& [name, language] : c.files) {
            const std::string header =
                *language ? std::string(".Language=") + language + "," + language + "\n" : "";
            folder.Write(name, header + "\"Text\"\n");
        }
        const LanguageChoice choice = ChooseLanguageFile(folder.Path(), c.wanted);
        const std::string expected = *c.chosen ? folder.Path() + "/" + c.chosen : "";
        EXPECT_EQ(choice.path, expected) << c.wanted;
    }
}

} // namespace
} // namespace pixlor::host
