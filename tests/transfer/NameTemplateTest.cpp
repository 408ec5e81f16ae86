#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fakes/FakeClock.h"
#include "platform/Platform.h"
#include "transfer/NameTemplate.h"

namespace pixlor {
namespace {

// One picture taken on 17 May 2002 at 09:05:30; today is 1 March 2024 in UTC.
class NameTemplateTest : public ::testing::Test {
protected:
    NameTemplateTest() {
        table.Build(1);
        PictureRecord& record = *table.RecordAt(0);
        record = PictureRecord{true, 1000, 100, 17, 5, 2002, 9, 5, 30};
    }

    FakeClock clock{1709287200}; // 2024-03-01 10:00:00 UTC
    ScopedPlatform scope{Platform{.clock = &clock}};
    PictureTable table;
};

struct Expansion {
    const char* nameTemplate;
    bool validateOnly;
    uint32_t position;
    const char* name;
};

class Expands : public NameTemplateTest, public ::testing::WithParamInterface<Expansion> {};

TEST_P(Expands, ToTheNameAndMeasuresItsLength) {
    const Expansion& c = GetParam();
    char out[kNameBufferSize];
    std::memset(out, 'x', sizeof out);
    uint32_t position = c.position;
    ASSERT_TRUE(ExpandTemplate(c.validateOnly, position, c.nameTemplate, out,
                               c.validateOnly ? nullptr : &table));
    EXPECT_STREQ(out, c.name);
    EXPECT_EQ(position, c.position); // left alone when there is an output

    uint32_t length = c.position;
    ASSERT_TRUE(ExpandTemplate(c.validateOnly, length, c.nameTemplate, nullptr,
                               c.validateOnly ? nullptr : &table));
    EXPECT_EQ(length, std::strlen(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Names, Expands,
    ::testing::Values(Expansion{"%2Y-%2M-%2D", false, 0, "02-05-17"},
                      Expansion{"pic%2D.%2M.%4Y_", false, 0, "pic17.05.2002_"},
                      Expansion{"%1M%3#", false, 0, "5000"},
                      Expansion{"%H%N%S", false, 0, "090530"}, Expansion{"100%%", false, 0, "100%"},
                      Expansion{"%5%", false, 0, "%"}, Expansion{"%4Y", true, 0, "0001"},
                      Expansion{"pic%2D.%2M.%4Y_", true, 0, "pic01.01.0001_"},
                      Expansion{"", false, 0, ""}, Expansion{"", true, 0, ""},
                      Expansion{"%9Y", false, 0, "000002002"},
                      Expansion{"%#_%3#", false, 1234, "34_234"},
                      Expansion{"%D.%d.%m.%4y", false, 0, "17.01.03.2024"},
                      Expansion{"a b\x01\xE9;,=", false, 0, "a b\x01\xE9;,="}));

// `count` placeholders of nine digits each.
std::string YearRun(int count) {
    std::string run;
    for (int i = 0; i < count; ++i) {
        run += "%9Y";
    }
    return run;
}

struct Failure {
    std::string nameTemplate;
    int code;
    uint32_t position;
};

class Fails : public NameTemplateTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(Fails, WithItsCodeAndPosition) {
    const Failure& c = GetParam();
    for (bool validateOnly : {false, true}) {
        TemplateError = 0;
        uint32_t position = 0;
        char out[kNameBufferSize];
        EXPECT_FALSE(ExpandTemplate(validateOnly, position, c.nameTemplate.c_str(), out, &table));
        EXPECT_EQ(TemplateError, c.code);
        EXPECT_EQ(position, c.position);
        position = 0;
        TemplateError = 0;
        EXPECT_FALSE(ExpandTemplate(validateOnly, position, c.nameTemplate.c_str(), nullptr,
                                    validateOnly ? nullptr : &table));
        EXPECT_EQ(TemplateError, c.code);
        EXPECT_EQ(position, c.position);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Templates, Fails,
    ::testing::Values(
        Failure{"abc%", kTemplateBadPlaceholder, 4}, Failure{"%0D", kTemplateBadPlaceholder, 1},
        Failure{"%h", kTemplateBadPlaceholder, 1}, Failure{"%n%s", kTemplateBadPlaceholder, 1},
        Failure{"x%3", kTemplateBadPlaceholder, 3}, Failure{"%3q", kTemplateBadPlaceholder, 2},
        Failure{"%12D", kTemplateSecondWidth, 2}, Failure{"a/b", kTemplateForbidden, 1},
        Failure{"a:b", kTemplateForbidden, 1}, // would name a hidden stream
        Failure{"%D\"", kTemplateForbidden, 2}, Failure{"*", kTemplateForbidden, 0},
        Failure{"ok<", kTemplateForbidden, 2}, Failure{">", kTemplateForbidden, 0},
        Failure{"?", kTemplateForbidden, 0}, Failure{"a\\b", kTemplateForbidden, 1},
        Failure{"|", kTemplateForbidden, 0}, Failure{"%D%", kTemplateBadPlaceholder, 3},
        Failure{std::string(257, 'p'), kTemplateTooLong, 256},
        Failure{std::string(255, 'p') + "%%%%", kTemplateTooLong, 258},
        // 28 placeholders make 252 characters; the 29th crosses 256 at its 'Y'.
        Failure{YearRun(30), kTemplateTooLong, 28 * 3 + 2}));

TEST_F(NameTemplateTest, ExactlyTheLimitFits) {
    const std::string plain(256, 'p');
    char out[kNameBufferSize + 8];
    std::memset(out, 'x', sizeof out);
    uint32_t position = 0;
    ASSERT_TRUE(ExpandTemplate(false, position, plain.c_str(), out, &table));
    EXPECT_EQ(std::string(out), plain);
    position = 0;
    ASSERT_TRUE(ExpandTemplate(true, position, plain.c_str(), nullptr, nullptr));
    EXPECT_EQ(position, 256u);
}

TEST_F(NameTemplateTest, AnOverlongNameTouchesNoMoreThanTheBuffer) {
    const std::string run = YearRun(30);
    char out[kNameBufferSize + 8];
    std::memset(out, 'x', sizeof out);
    uint32_t position = 0;
    EXPECT_FALSE(ExpandTemplate(false, position, run.c_str(), out, &table));
    EXPECT_EQ(out[255], '0'); // 252 + "0000" of the crossing placeholder
    EXPECT_EQ(out[256], '0'); // the overflowing character is stored
    EXPECT_EQ(out[257], 'x'); // and nothing after it
}

TEST_F(NameTemplateTest, SuccessLeavesTheErrorCodeAlone) {
    TemplateError = 99;
    uint32_t position = 0;
    char out[kNameBufferSize];
    EXPECT_TRUE(ExpandTemplate(false, position, "%D", out, &table));
    EXPECT_EQ(TemplateError, 99);
}

TEST_F(NameTemplateTest, ReadsTheClockOncePerCall) {
    uint32_t position = 0;
    char out[kNameBufferSize];
    EXPECT_TRUE(ExpandTemplate(false, position, "%d%m%y%d", out, &table));
    EXPECT_EQ(clock.reads(), 1u);
}

TEST_F(NameTemplateTest, APictureWithoutRecordCountsAsZeros) {
    uint32_t position = 5;
    char out[kNameBufferSize];
    ASSERT_TRUE(ExpandTemplate(false, position, "%D%4Y_%#", out, &table));
    EXPECT_STREQ(out, "000000_05");
    position = 0;
    ASSERT_TRUE(ExpandTemplate(false, position, "%D", out, nullptr));
    EXPECT_STREQ(out, "00");
}

TEST_F(NameTemplateTest, AFailedStoredTemplateGivesAnEmptyName) {
    char out[kNameBufferSize];
    std::memset(out, 'x', sizeof out);
    EXPECT_FALSE(ExpandNameOrEmpty(0, "pic%D|", out, &table));
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(ExpandNameOrEmpty(0, "pic%D", out, &table));
    EXPECT_STREQ(out, "pic17");
}

// The name buffer holds what a name can be, cut there, and starts empty.
TEST_F(NameTemplateTest, ANameBufferHoldsTheLongestNameAndNoMore) {
    struct Case {
        std::string name;
        std::string held;
    };
    const std::string longest(kMaxNameLength, 'n');
    for (const Case& c : {Case{"", ""}, Case{"pic17", "pic17"}, Case{longest, longest},
                          Case{longest + "xyz", longest}}) {
        NameBuffer buffer;
        EXPECT_TRUE(buffer.empty());
        buffer.Assign(c.name);
        EXPECT_EQ(std::string(buffer.c_str()), c.held);
        EXPECT_EQ(buffer.empty(), c.held.empty());
    }
}

TEST_F(NameTemplateTest, AnExpandedNameIsTheNameOrEmpty) {
    struct Case {
        const char* nameTemplate;
        const char* name;
    };
    for (const Case& c :
         {Case{"pic%D", "pic17"}, Case{"pic%D|", ""}, Case{"%2Y-%2M", "02-05"}, Case{"", ""}}) {
        EXPECT_STREQ(ExpandedName(0, c.nameTemplate, &table).c_str(), c.name) << c.nameTemplate;
    }
}

} // namespace
} // namespace pixlor
