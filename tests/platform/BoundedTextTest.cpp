// The bounded text copy: cut to fit, always terminated, nothing read or
// written past the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/BoundedText.h"

namespace pixlor {
namespace {

constexpr char kUntouched = '#';
constexpr std::size_t kBufferSize = 16;

struct CopyCase {
    const char* label;
    const char* text; // null: a null text
    std::size_t capacity;
    const char* copied; // null: nothing written at all
};

class CopiesCut : public ::testing::TestWithParam<CopyCase> {};

// Both forms copy alike, and the bytes after the terminator stay as they were.
TEST_P(CopiesCut, ToTheCapacityAndTerminates) {
    const CopyCase& c = GetParam();
    for (const bool asView : {false, true}) {
        if (asView && c.text == nullptr) {
            continue;
        }
        char buffer[kBufferSize];
        std::memset(buffer, kUntouched, sizeof buffer);
        const std::size_t length = asView
                                       ? CopyBounded(buffer, c.capacity, std::string_view(c.text))
                                       : CopyBounded(buffer, c.capacity, c.text);
        if (c.copied == nullptr) {
            EXPECT_EQ(length, 0u);
            EXPECT_EQ(buffer[0], kUntouched);
            continue;
        }
        EXPECT_STREQ(buffer, c.copied) << (asView ? "view" : "pointer");
        EXPECT_EQ(length, std::strlen(c.copied));
        for (std::size_t i = length + 1; i < sizeof buffer; ++i) {
            ASSERT_EQ(buffer[i], kUntouched) << "byte " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CopiesCut,
    ::testing::Values(CopyCase{"Shorter", "abc", 8, "abc"}, CopyCase{"ExactFit", "abc", 4, "abc"},
                      CopyCase{"OneOver", "abcd", 4, "abc"},
                      CopyCase{"MuchLonger", "abcdefghijklmnopqrstuvwxyz", 6, "abcde"},
                      CopyCase{"Empty", "", 4, ""},
                      CopyCase{"RoomForTheTerminatorOnly", "abc", 1, ""},
                      CopyCase{"NoRoomAtAll", "abc", 0, nullptr},
                      CopyCase{"NullText", nullptr, 4, ""}),
    [](const ::testing::TestParamInfo<CopyCase>& param) { return std::string(param.param.label); });

// A full field without a terminator is read no further than what fits (the
// sanitizer reports a read past the allocation).
TEST(BoundedText, ReadsAnUnterminatedFieldOnlyAsFarAsItFits) {
    constexpr std::size_t kField = 4;
    const auto field = std::make_unique<char[]>(kField);
    std::memset(field.get(), 'x', kField);
    char buffer[kField + 1];
    EXPECT_EQ(CopyBounded(buffer, field.get()), kField);
    EXPECT_STREQ(buffer, "xxxx");
}

} // namespace
} // namespace pixlor
