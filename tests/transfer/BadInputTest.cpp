// Stored settings that the configuration dialog would not have accepted:
// templates failing at each kind of position, digit counts out of range.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fakes/FakeClock.h"
#include "fakes/FoldingNameRules.h"
#include "platform/Platform.h"
#include "transfer/NameTemplate.h"
#include "transfer/TransferList.h"

namespace pixlor {
namespace {

struct PositionCase {
    const char* what;
    std::string nameTemplate;
    int code;
    uint32_t position;
};

class TemplateFailurePosition : public ::testing::TestWithParam<PositionCase> {
protected:
    FakeClock clock;
    ScopedPlatform scope{Platform{.clock = &clock}};
};

// Each mode reports the same code and position; an expansion leaves the
// caller's buffer terminated only through ExpandNameOrEmpty.
TEST_P(TemplateFailurePosition, IsTheSameInEveryMode) {
    const PositionCase& c = GetParam();
    PictureTable table;
    table.Build(1);
    char out[kNameBufferSize];
    struct Mode {
        bool validateOnly;
        char* output;
        const PictureTable* table;
    };
    for (const Mode& mode : {Mode{true, nullptr, nullptr}, Mode{false, nullptr, &table},
                             Mode{false, out, &table}, Mode{true, out, nullptr}}) {
        TemplateError = 0;
        uint32_t position = 0;
        EXPECT_FALSE(ExpandTemplate(mode.validateOnly, position, c.nameTemplate.c_str(),
                                    mode.output, mode.table));
        EXPECT_EQ(TemplateError, c.code);
        EXPECT_EQ(position, c.position);
    }
    std::memset(out, 'x', sizeof out);
    EXPECT_FALSE(ExpandNameOrEmpty(0, c.nameTemplate.c_str(), out, &table));
    EXPECT_STREQ(out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Classes, TemplateFailurePosition,
    ::testing::Values(
        PositionCase{"ForbiddenFirst", "<x", kTemplateForbidden, 0},
        PositionCase{"ForbiddenAfterAPlaceholder", "%D>", kTemplateForbidden, 2},
        PositionCase{"ForbiddenAsFieldLetter", "%/", kTemplateBadPlaceholder, 1},
        PositionCase{"ForbiddenAfterWidth", "%3\\", kTemplateBadPlaceholder, 2},
        PositionCase{"WidthAtTheEnd", "a%9", kTemplateBadPlaceholder, 3},
        PositionCase{"LoneTrailingPercent", "%%%", kTemplateBadPlaceholder, 3},
        PositionCase{"ThirdWidthDigitAfterSecond", "%123Y", kTemplateSecondWidth, 2},
        PositionCase{"ZeroAfterWidth", "%30Y", kTemplateBadPlaceholder, 2},
        PositionCase{"BadLetterFarIn", std::string(200, 'p') + "%x", kTemplateBadPlaceholder, 201},
        // At the limit the forbidden character is met before the name grows too long.
        PositionCase{"ForbiddenAtTheLimit", std::string(256, 'p') + "|", kTemplateForbidden, 256},
        PositionCase{"TooLongBeforeForbidden", std::string(257, 'p') + "|", kTemplateTooLong, 256},
        PositionCase{"TooLongInsideDigits", std::string(250, 'p') + "%9D", kTemplateTooLong, 252},
        PositionCase{"TooLongOnPercent", std::string(256, 'p') + "%%", kTemplateTooLong, 257}),
    [](const auto& param) { return std::string(param.param.what); });

class OutOfRangeDigits : public ::testing::TestWithParam<uint32_t> {
protected:
    fakes::FoldingNameRules names;
};

// A stored count outside 2 to 9 is used as the nearest width from 1 to 9, and
// the numbering recognises the names that it writes, so it never proposes a
// name twice.
TEST_P(OutOfRangeDigits, NameTheFileAsTheNumberingReadsItBack) {
    const uint32_t width = GetParam();
    const uint32_t used = width < 1 ? 1 : (width > 9 ? 9 : width);
    for (const uint32_t number : {1u, 7u, 999999999u}) {
        const std::string name = NumberedFileName("p_", number, width);
        std::string digits = std::to_string(number);
        if (digits.size() < used) {
            digits.insert(0, used - digits.size(), '0');
        }
        EXPECT_EQ(name, "p_" + digits + ".jpg") << width;
        uint32_t read = 0;
        EXPECT_TRUE(NumberOfName(names, name.c_str(), "p_", width, read)) << name;
        EXPECT_EQ(read, number) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, OutOfRangeDigits,
                         ::testing::Values(0u, 1u, 10u, 12u, 255u, 0x80000000u, 0xFFFFFFFFu));

} // namespace
} // namespace pixlor
