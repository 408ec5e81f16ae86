#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "host/Host.h"

namespace pixlor {
namespace {

// Distinct non-null values for the slots, never called.
template <typename Function> Function Fake(std::uintptr_t n) {
    return reinterpret_cast<Function>(0x1000 + n * 0x10);
}

struct HostRecords {
    PluginStartupInfo info{};
    FarStandardFunctions functions{};

    HostRecords() {
        info.StructSize = static_cast<int>(sizeof info);
        std::strcpy(info.ModuleName, "C:\\Far\\Plugins\\Pixlor\\Pixlor.dll");
        info.ModuleNumber = 7;
        info.RootKey = "Software\\Far Manager\\Plugins";
        info.Message = Fake<FARAPIMESSAGE>(1);
        info.GetMsg = Fake<FARAPIGETMSG>(2);
        info.Control = Fake<FARAPICONTROL>(3);
        info.FSF = &functions;
        info.ShowHelp = Fake<FARAPISHOWHELP>(4);
        info.ViewerControl = Fake<FARAPIVIEWERCONTROL>(5);
        functions.StructSize = static_cast<int>(sizeof functions);
        functions.sprintf = Fake<FARSTDSPRINTF>(6);
        functions.LStricmp = Fake<FARSTDLOCALSTRICMP>(7);
        functions.LStrnicmp = Fake<FARSTDLOCALSTRNICMP>(8);
        functions.GetReparsePointInfo = Fake<FARGETREPARSEPOINTINFO>(9);
    }
};

// The host's record as an allocation of exactly its declared size, so that a
// read past it shows under the address sanitizer.
template <typename Record>
std::unique_ptr<unsigned char[]> Declared(const Record& record, int size) {
    const std::size_t bytes = std::min<std::size_t>(sizeof record, static_cast<std::size_t>(size));
    auto copy = std::make_unique<unsigned char[]>(std::max<std::size_t>(bytes, sizeof(int)));
    std::memcpy(copy.get(), &record, std::max<std::size_t>(bytes, sizeof(int)));
    return copy;
}

constexpr int Upto(std::size_t offset, std::size_t extra = 0) {
    return static_cast<int>(offset + extra);
}

struct ShortRecordCase {
    const char* name;
    int infoSize;
    int functionsSize;
    bool message, getMsg, control, functions, showHelp, viewerControl;
    bool sprintf, lstricmp, lstrnicmp, reparse;
};

// A record shorter than ours (an older or a narrower host) holds the slots its
// size covers in whole; the rest is zero, as in a host that has no such service.
const ShortRecordCase kShortRecords[] = {
    {"full", Upto(sizeof(PluginStartupInfo)), Upto(sizeof(FarStandardFunctions)), true, true, true,
     true, true, true, true, true, true, true},
    {"longer than ours", Upto(sizeof(PluginStartupInfo), 64),
     Upto(sizeof(FarStandardFunctions), 64), true, true, true, true, true, true, true, true, true,
     true},
    {"up to the table", Upto(offsetof(PluginStartupInfo, FSF)), Upto(sizeof(FarStandardFunctions)),
     true, true, true, false, false, false, false, false, false, false},
    {"ends inside the table's slot", Upto(offsetof(PluginStartupInfo, FSF), 2),
     Upto(sizeof(FarStandardFunctions)), true, true, true, false, false, false, false, false, false,
     false},
    {"ends inside GetMsg", Upto(offsetof(PluginStartupInfo, GetMsg), 3),
     Upto(sizeof(FarStandardFunctions)), true, false, false, false, false, false, false, false,
     false, false},
    {"no services", Upto(offsetof(PluginStartupInfo, Menu)), Upto(sizeof(FarStandardFunctions)),
     false, false, false, false, false, false, false, false, false, false},
    {"zero", 0, Upto(sizeof(FarStandardFunctions)), false, false, false, false, false, false, false,
     false, false, false},
    {"negative", -4, Upto(sizeof(FarStandardFunctions)), false, false, false, false, false, false,
     false, false, false, false},
    {"short table", Upto(sizeof(PluginStartupInfo)), Upto(offsetof(FarStandardFunctions, LStricmp)),
     true, true, true, true, true, true, true, false, false, false},
    {"table ends inside LStrnicmp", Upto(sizeof(PluginStartupInfo)),
     Upto(offsetof(FarStandardFunctions, LStrnicmp), 1), true, true, true, true, true, true, true,
     true, false, false},
    {"empty table", Upto(sizeof(PluginStartupInfo)), 0, true, true, true, true, true, true, false,
     false, false, false},
};

class ShortRecord : public testing::TestWithParam<ShortRecordCase> {
protected:
    void TearDown() override { ForgetHostRecords(); }
};

TEST_P(ShortRecord, KeepsTheWholeSlotsItsSizeHolds) {
    const ShortRecordCase& c = GetParam();
    HostRecords host;
    host.functions.StructSize = c.functionsSize;
    auto functions = Declared(host.functions, c.functionsSize);
    host.info.FSF = reinterpret_cast<FarStandardFunctions*>(functions.get());
    host.info.StructSize = c.infoSize;
    auto info = Declared(host.info, c.infoSize);

    KeepHostRecords(*reinterpret_cast<const PluginStartupInfo*>(info.get()));

    EXPECT_EQ(hostInfo.Message != nullptr, c.message);
    EXPECT_EQ(hostInfo.GetMsg != nullptr, c.getMsg);
    EXPECT_EQ(hostInfo.Control != nullptr, c.control);
    EXPECT_EQ(hostInfo.ShowHelp != nullptr, c.showHelp);
    EXPECT_EQ(hostInfo.ViewerControl != nullptr, c.viewerControl);
    EXPECT_EQ(hostInfo.FSF, &hostFunctions) << "always our own copy";
    EXPECT_EQ(hostFunctions.StructSize != 0, c.functions && c.functionsSize > 0);
    EXPECT_EQ(hostFunctions.sprintf != nullptr, c.sprintf);
    EXPECT_EQ(hostFunctions.LStricmp != nullptr, c.lstricmp);
    EXPECT_EQ(hostFunctions.LStrnicmp != nullptr, c.lstrnicmp);
    EXPECT_EQ(hostFunctions.GetReparsePointInfo != nullptr, c.reparse);
    if (c.message) {
        EXPECT_EQ(hostInfo.Message, host.info.Message) << "copied whole, never in part";
        EXPECT_EQ(hostInfo.ModuleNumber, host.info.ModuleNumber);
        EXPECT_STREQ(hostInfo.ModuleName, host.info.ModuleName);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ShortRecord, testing::ValuesIn(kShortRecords),
                         [](const testing::TestParamInfo<ShortRecordCase>& tested) {
                             std::string name;
                             for (const char* p = tested.param.name; *p != '\0'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

TEST(HostRecords, ModuleNumberAndRootKeyKeptAsTheHostGaveThem) {
    HostRecords host;
    // A 64-bit host's module number is an address above 4 GiB.
    host.info.ModuleNumber =
        sizeof(FarIntPtr) == 8 ? static_cast<FarIntPtr>(0x00007FF612345678ull) : 0x12345678;
    KeepHostRecords(host.info);
    EXPECT_EQ(hostInfo.ModuleNumber, host.info.ModuleNumber);
    EXPECT_STREQ(hostInfo.RootKey, "Software\\Far Manager\\Plugins");
    ForgetHostRecords();
}

} // namespace
} // namespace pixlor
