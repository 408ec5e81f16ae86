// The copy dialog's prompt line as each language file words it: it reads as
// one sentence (no doubled or stray blanks) and fits the dialog's text line.
#include <gtest/gtest.h>

#include <string>

#include "commands/KeyCommands.h"
#include "fakes/FakeHost.h"
#include "host/MessageIds.h"

namespace pixlor {
namespace {

// Code page 866 as UTF-8, for the Russian texts the plugin is given.
std::string FromCp866(const std::string& text) {
    std::u32string wide;
    for (const unsigned char c : text) {
        wide += c < 0x80                ? char32_t{c}
                : c < 0xB0              ? char32_t{0x0410u + (c - 0x80u)}
                : c >= 0xE0 && c < 0xF0 ? char32_t{0x0440u + (c - 0xE0u)}
                : c == 0xF0             ? char32_t{0x0401}
                : c == 0xF1             ? char32_t{0x0451}
                                        : char32_t{'?'};
    }
    std::string out;
    for (const char32_t c : wide) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

constexpr KindsMode One = KindsMode::OneKind, Each = KindsMode::EachKindOwnFolder,
                    Both = KindsMode::BothKinds;
constexpr PictureKind P = PictureKind::Photo, T = PictureKind::Thumbnail;

const CopyChoice kChoices[] = {{One, P, P},  {One, T, T},  {One, P, T}, {One, T, P},
                               {Each, P, P}, {Both, P, P}, {Both, P, T}};

class CopyPromptTexts : public testing::Test {
protected:
    void SetUp() override { host.Start(); }
    std::string Prompt(int verb, const CopyChoice& choice) {
        return CopyPrompt(host.Kit().GetMsg(host.Kit().moduleNumber, verb), choice);
    }
    FakeHost host;
};

TEST_F(CopyPromptTexts, ReadAsOneLineThatFitsTheDialogInEveryLanguage) {
    // The prompt is drawn from column 5 inside a frame whose right edge is at 72.
    constexpr std::size_t kWidth = 72 - 5;
    for (const char* language : {"PixlorEng.lng", "PixlorRus.lng"}) {
        ASSERT_TRUE(host.Kit().LoadLanguage(PluginFile(language)));
        for (const int verb : {MVerbCopy, MVerbMove}) {
            for (const CopyChoice& choice : kChoices) {
                const std::string prompt = Prompt(verb, choice);
                SCOPED_TRACE(language + (": " + FromCp866(prompt)));
                EXPECT_LE(prompt.size(), kWidth);
                EXPECT_EQ(prompt.find("  "), std::string::npos);
                EXPECT_EQ(prompt.find(" ,"), std::string::npos);
                EXPECT_EQ(prompt.find(" :"), std::string::npos);
                EXPECT_EQ(prompt.back(), ':');
            }
        }
    }
}

TEST_F(CopyPromptTexts, RussianUsesOneWordForEachKind) {
    ASSERT_TRUE(host.Kit().LoadLanguage(PluginFile("PixlorRus.lng")));
    const std::pair<CopyChoice, const char*> cases[] = {
        {{One, P, P}, "Копировать снимки по папкам снимков, созданным в:"},
        {{One, T, P}, "Копировать эскизы по папкам снимков, созданным в:"},
        {{Each, P, P}, "Копировать снимки и эскизы в:"},
        {{Both, P, T}, "Копировать снимки и эскизы по папкам эскизов, созданным в:"},
    };
    for (const auto& [choice, prompt] : cases) {
        EXPECT_EQ(FromCp866(Prompt(MVerbCopy, choice)), prompt);
    }
}

} // namespace
} // namespace pixlor
