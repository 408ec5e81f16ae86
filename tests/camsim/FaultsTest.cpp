#include "tools/camsim/Faults.h"

#include <gtest/gtest.h>

namespace camsim {
namespace {

struct ParseCase {
    const char* text;
    Fault expected;
};

Fault F(FaultKind kind, Target target = Target::Any, std::uint32_t count = 1, std::uint32_t nth = 1,
        std::uint32_t ms = 0, std::uint8_t byte = 0) {
    return Fault{kind, target, count, nth, ms, byte};
}

class FaultParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(FaultParse, ParsesAndFormatsBack) {
    std::string error;
    auto fault = ParseFault(GetParam().text, &error);
    ASSERT_TRUE(fault) << error;
    EXPECT_EQ(*fault, GetParam().expected);
    EXPECT_EQ(ParseFault(FormatFault(*fault)), fault) << FormatFault(*fault);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultParse,
    ::testing::Values(ParseCase{"checksum:3", F(FaultKind::Checksum, Target::Any, 3)},
                      ParseCase{"checksum-always", F(FaultKind::ChecksumAlways)},
                      ParseCase{"checksum-always:3@photo",
                                F(FaultKind::ChecksumAlways, Target::Photo, 3)},
                      ParseCase{"checksum:2@photo", F(FaultKind::Checksum, Target::Photo, 2)},
                      ParseCase{"cut:2", F(FaultKind::Cut, Target::Any, 2)},
                      ParseCase{"silent:1", F(FaultKind::Silent)},
                      ParseCase{"silent", F(FaultKind::Silent)},
                      ParseCase{"silent@get#2", F(FaultKind::Silent, Target::Get, 1, 2)},
                      ParseCase{"nak:3", F(FaultKind::Nak, Target::Any, 3)},
                      ParseCase{"nak:3@speed", F(FaultKind::Nak, Target::Speed, 3)},
                      ParseCase{"refuse:select", F(FaultKind::Refuse, Target::Select)},
                      ParseCase{"refuse:request", F(FaultKind::Refuse, Target::Request)},
                      ParseCase{"refuse:delete", F(FaultKind::Refuse, Target::Delete)},
                      ParseCase{"refuse:action", F(FaultKind::Refuse, Target::Delete)},
                      ParseCase{"refuse@info#3", F(FaultKind::Refuse, Target::Info, 1, 3)},
                      ParseCase{"refuse", F(FaultKind::Refuse)},
                      ParseCase{"byte:0x42", F(FaultKind::Byte, Target::Any, 1, 1, 0, 0x42)},
                      ParseCase{"byte:17@probe", F(FaultKind::Byte, Target::Probe, 1, 1, 0, 17)},
                      ParseCase{"delay:1500", F(FaultKind::Delay, Target::Any, 1, 1, 1500)},
                      ParseCase{"delay:0@ack", F(FaultKind::Delay, Target::Ack, 1, 1, 0)},
                      ParseCase{"vanish:4@thumb", F(FaultKind::Vanish, Target::Thumb, 4)},
                      ParseCase{"slow:20", F(FaultKind::Slow, Target::Any, 1, 1, 20)}),
    [](const auto& param) {
        std::string name;
        for (char c : std::string(param.param.text)) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST(FaultParse, RejectsWithAReason) {
    for (const char* text : {"",
                             "bogus",
                             "nak:0",
                             "nak:x",
                             "nak:",
                             "silent:-1",
                             "checksum",
                             "checksum:0",
                             "checksum-always:0",
                             "checksum-always:x",
                             "cut",
                             "vanish:0",
                             "byte",
                             "byte:0x100",
                             "byte:zz",
                             "delay",
                             "slow",
                             "slow:5@photo",
                             "refuse:nothing",
                             "refuse:select@photo",
                             "nak@nowhere",
                             "nak@get#0",
                             "nak@get#",
                             "checksum:2@photo#2",
                             "delay:1e3"}) {
        std::string error;
        EXPECT_FALSE(ParseFault(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

} // namespace
} // namespace camsim
