#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "configure/ConfigDialog.h"
#include "configure/ConfigItems.h"
#include "fakes/FakeHost.h"
#include "fakes/FakeRegistry.h"
#include "host/MessageIds.h"
#include "host/OpenPanels.h"
#include "platform/Platform.h"
#include "plugin/Startup.h"
#include "settings/SettingsStore.h"

namespace pixlor {
namespace {

using namespace config;
using Op = FakeRegistry::Op;
using Pass = std::function<int(FarDialogItem*)>;

constexpr const char* kKey = "Software\\Far\\Plugins\\Pixlor";
constexpr const char* kStoreOrder[] = {"BaudRate",    "SerialPort",  "PhotoPrefix", "PhotoSuffix",
                                       "ThumbPrefix", "ThumbSuffix", "PhotoPath",   "ThumbPath"};

void Type(FarDialogItem& item, const std::string& text) {
    std::memset(item.Data, 0, sizeof item.Data);
    std::memcpy(item.Data, text.data(), std::min(text.size(), sizeof item.Data - 1));
}

// Chooses one radio button of the group first..last, as the host does.
void Choose(FarDialogItem* items, int first, int last, int chosen) {
    for (int i = first; i <= last; ++i) {
        items[i].Selected = i == chosen ? 1 : 0;
    }
}

int Press(int button) {
    return button;
}

class ConfigDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.Start();
        ASSERT_TRUE(BuildSettingsRoot("Software\\Far\\Plugins"));
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{1});
        openPanelCount = 0;
    }
    void TearDown() override {
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
        openPanelCount = 0;
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }

    // Each pass may type into the items; its result is the exit code. Once the
    // script is used up the user presses Esc.
    int Run(std::vector<Pass> passes) {
        std::size_t next = 0;
        host.OnDialog([passes = std::move(passes), next](DialogCall&, FarDialogItem* items,
                                                         int count) mutable {
            EXPECT_EQ(count, kItemCount);
            return next < passes.size() ? passes[next++](items) : -1;
        });
        return Configure(0);
    }

    std::vector<std::string> StoredNames() const {
        std::vector<std::string> names;
        for (const auto& call : registry.Calls()) {
            if (call.op == Op::SetValue) {
                names.push_back(call.path);
            }
        }
        return names;
    }
    uint32_t Number(const char* name) const {
        return registry.GetNumber(kHkeyCurrentUser, kKey, name).value_or(0xDEADu);
    }
    std::string Text(const char* name) const {
        return registry.GetString(kHkeyCurrentUser, kKey, name).value_or("<missing>");
    }
    const FarDialogItem& Shown(std::size_t pass, int item) const {
        return host.Dialogs().at(pass).items.at(static_cast<std::size_t>(item));
    }
    std::string AtPosition(int position) const {
        char line[100];
        std::snprintf(line, sizeof line, host.Text(MErrorAtPosition).c_str(), position);
        return line;
    }

    FakeHost host;
    FakeRegistry registry;
    ScopedPlatform scope{Platform{.registry = &registry}};
};

TEST_F(ConfigDialogTest, ConfirmingOnAFirstRunStoresTheDefaultsInOrder) {
    EXPECT_EQ(Run({[](FarDialogItem*) { return Press(kOkButton); }}), 1);

    EXPECT_EQ(StoredNames(),
              std::vector<std::string>(std::begin(kStoreOrder), std::end(kStoreOrder)));
    EXPECT_EQ(Number("SerialPort"), 1u);
    EXPECT_EQ(Number("BaudRate"), 5u);
    EXPECT_EQ(Number("PhotoSuffix"), 3u);
    EXPECT_EQ(Number("ThumbSuffix"), 3u);
    EXPECT_EQ(Text("PhotoPrefix"), "pic%2D.%2M.%4Y_");
    EXPECT_EQ(Text("ThumbPrefix"), "thumb%2D.%2M.%4Y_");
    EXPECT_EQ(Text("PhotoPath"), "%2Y-%2M-%2D");
    EXPECT_EQ(Text("ThumbPath"), "");
    EXPECT_TRUE(host.Messages().empty());
}

struct ItemRow {
    int index, type, x1, y1, x2, y2;
    FarDword flags;
    int message; // -1: a literal text
    const char* text;
};

TEST_F(ConfigDialogTest, HandsTheHostTheItemTable) {
    portPresent[6] = 0; // COM7 missing
    Run({});
    ASSERT_EQ(host.Dialogs().size(), 1u);
    const DialogCall& dialog = host.Dialogs()[0];
    EXPECT_EQ(dialog.x1, -1);
    EXPECT_EQ(dialog.y1, -1);
    EXPECT_EQ(dialog.x2, 54);
    EXPECT_EQ(dialog.y2, 24);
    EXPECT_EQ(dialog.helpTopic, "Configure");

    const int photoX = static_cast<int>(host.Text(MConfigPhotoDigits).size()) + 5;
    const int thumbX = static_cast<int>(host.Text(MConfigThumbDigits).size()) + 5;
    const ItemRow rows[] = {
        {kFrame, DI_DOUBLEBOX, 3, 1, 50, 22, 0, MConfigTitle, nullptr},
        {kPortLabel, DI_TEXT, 5, 2, 0, 0, 0, MConfigPort, nullptr},
        {kCom1, DI_RADIOBUTTON, 5, 3, 0, 0, DIF_GROUP, -1, "COM1"},
        {kCom4, DI_RADIOBUTTON, 5, 6, 0, 0, 0, -1, "COM4"},
        {kCom5, DI_RADIOBUTTON, 15, 3, 0, 0, 0, -1, "COM5"},
        {kCom7, DI_RADIOBUTTON, 15, 5, 0, 0, DIF_DISABLE, -1, "COM7"},
        {kCom8, DI_RADIOBUTTON, 15, 6, 0, 0, 0, -1, "COM8"},
        {kSpeedLabel, DI_TEXT, 30, 2, 0, 0, 0, MConfigSpeed, nullptr},
        {kSpeed9600, DI_RADIOBUTTON, 30, 3, 0, 0, DIF_GROUP, -1, "  9.6kBd"},
        {kSpeed115200, DI_RADIOBUTTON, 30, 7, 0, 0, 0, -1, "115.2kBd"},
        {kNamesSeparator, DI_TEXT, 255, 8, 0, 0, DIF_SEPARATOR, -1, ""},
        {kPhotoPrefixLabel, DI_TEXT, 5, 9, 0, 0, 0, MConfigPhotoPrefix, nullptr},
        {kPhotoPrefixEdit, DI_EDIT, 5, 10, 47, 0, DIF_HISTORY, -1, "pic%2D.%2M.%4Y_"},
        {kThumbPrefixLabel, DI_TEXT, 5, 11, 0, 0, 0, MConfigThumbPrefix, nullptr},
        {kThumbPrefixEdit, DI_EDIT, 5, 12, 47, 0, DIF_HISTORY, -1, "thumb%2D.%2M.%4Y_"},
        {kPhotoPathLabel, DI_TEXT, 5, 13, 0, 0, 0, MConfigPhotoPath, nullptr},
        {kPhotoPathEdit, DI_EDIT, 5, 14, 47, 0, DIF_HISTORY, -1, "%2Y-%2M-%2D"},
        {kThumbPathLabel, DI_TEXT, 5, 15, 0, 0, 0, MConfigThumbPath, nullptr},
        {kThumbPathEdit, DI_EDIT, 5, 16, 47, 0, DIF_HISTORY, -1, ""},
        {kPhotoDigitsLabel, DI_TEXT, 5, 17, 0, 0, 0, MConfigPhotoDigits, nullptr},
        {kPhotoDigitsEdit, DI_FIXEDIT, photoX, 17, 0, 0, DIF_MASKEDIT, -1, "3"},
        {kThumbDigitsLabel, DI_TEXT, 5, 18, 0, 0, 0, MConfigThumbDigits, nullptr},
        {kThumbDigitsEdit, DI_FIXEDIT, thumbX, 18, 0, 0, DIF_MASKEDIT, -1, "3"},
        // Centring alone: the bit of DIF_BTNNOCLOSE would keep a newer host's dialog open.
        {kCheckButton, DI_BUTTON, 5, 19, 0, 0, DIF_CENTERGROUP, MCheck, nullptr},
        {kDefaultsButton, DI_BUTTON, 5, 19, 0, 0, DIF_CENTERGROUP, MDefaults, nullptr},
        {kButtonsSeparator, DI_TEXT, 255, 20, 0, 0, DIF_SEPARATOR, -1, ""},
        {kOkButton, DI_BUTTON, 5, 21, 0, 0, DIF_CENTERGROUP, MOk, nullptr},
        {kCancelButton, DI_BUTTON, 5, 21, 0, 0, DIF_CENTERGROUP, MCancel, nullptr},
        {kAboutButton, DI_BUTTON, 5, 21, 0, 0, DIF_CENTERGROUP, MAbout, nullptr},
    };
    for (const ItemRow& row : rows) {
        SCOPED_TRACE(row.index);
        const FarDialogItem& item = Shown(0, row.index);
        EXPECT_EQ(item.Type, row.type);
        EXPECT_EQ(item.X1, row.x1);
        EXPECT_EQ(item.Y1, row.y1);
        EXPECT_EQ(item.X2, row.x2);
        EXPECT_EQ(item.Y2, row.y2);
        EXPECT_EQ(item.Flags, row.flags);
        EXPECT_EQ(item.Data, row.message >= 0 ? host.Text(row.message) : std::string(row.text));
    }
    const std::pair<int, const char*> histories[] = {
        {kPhotoPrefixEdit, "PXPhotoPfx"}, {kThumbPrefixEdit, "PXThumbPfx"},
        {kPhotoPathEdit, "PXPhotoPth"},   {kThumbPathEdit, "PXThumbPth"},
        {kPhotoDigitsEdit, "#"},          {kThumbDigitsEdit, "#"}};
    for (const auto& [index, name] : histories) {
        EXPECT_STREQ(Shown(0, index).History, name) << index;
    }
    for (int i = 0; i < kItemCount; ++i) {
        EXPECT_EQ(Shown(0, i).Focus, i == kOkButton ? 1 : 0) << i;
        EXPECT_EQ(Shown(0, i).DefaultButton, i == kOkButton ? 1 : 0) << i;
    }
    EXPECT_EQ(Shown(0, kCom2).Selected, 1);
    EXPECT_EQ(Shown(0, kSpeed115200).Selected, 1);
}

TEST_F(ConfigDialogTest, CheckWithValidValuesTellsSoAndKeepsTheInput) {
    EXPECT_EQ(Run({[](FarDialogItem* items) {
                       Type(items[kPhotoPrefixEdit], "img%3#_");
                       Type(items[kThumbDigitsEdit], "5");
                       Choose(items, kCom1, kCom8, kCom4);
                       return Press(kCheckButton);
                   },
                   [](FarDialogItem*) { return Press(kCancelButton); }}),
              0);

    ASSERT_EQ(host.Messages().size(), 1u);
    const MessageCall& notice = host.Messages()[0];
    EXPECT_EQ(notice.flags, FMSG_MB_OK);
    EXPECT_EQ(notice.helpTopic, "");
    EXPECT_EQ(notice.lines, host.Texts({MTitle, MTemplatesValid}));
    ASSERT_EQ(host.Dialogs().size(), 2u);
    EXPECT_STREQ(Shown(1, kPhotoPrefixEdit).Data, "img%3#_");
    EXPECT_STREQ(Shown(1, kThumbDigitsEdit).Data, "5");
    EXPECT_EQ(Shown(1, kCom4).Selected, 1);
    EXPECT_EQ(Shown(1, kCom2).Selected, 0);
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_EQ(registry.CountCalls(Op::CreateKey), 0u);
}

TEST_F(ConfigDialogTest, DefaultsRestoreTheNamingValuesButKeepPortAndSpeed) {
    registry.SetNumber(kHkeyCurrentUser, kKey, "SerialPort", 0);
    registry.SetNumber(kHkeyCurrentUser, kKey, "BaudRate", 1);
    registry.SetString(kHkeyCurrentUser, kKey, "PhotoPrefix", "p");
    registry.SetString(kHkeyCurrentUser, kKey, "ThumbPath", "t");
    registry.SetNumber(kHkeyCurrentUser, kKey, "ThumbSuffix", 7);
    EXPECT_EQ(Run({[](FarDialogItem* items) {
                       Choose(items, kCom1, kCom8, kCom6);
                       Choose(items, kSpeed9600, kSpeed115200, kSpeed57600);
                       Type(items[kPhotoDigitsEdit], "8");
                       return Press(kDefaultsButton);
                   },
                   [](FarDialogItem*) { return Press(kOkButton); }}),
              1);

    EXPECT_STREQ(Shown(0, kPhotoPrefixEdit).Data, "p");
    EXPECT_STREQ(Shown(0, kThumbDigitsEdit).Data, "7");
    EXPECT_STREQ(Shown(1, kPhotoPrefixEdit).Data, "pic%2D.%2M.%4Y_");
    EXPECT_STREQ(Shown(1, kThumbPathEdit).Data, "");
    EXPECT_STREQ(Shown(1, kPhotoDigitsEdit).Data, "3");
    EXPECT_STREQ(Shown(1, kThumbDigitsEdit).Data, "3");
    EXPECT_EQ(Shown(1, kCom6).Selected, 1);
    EXPECT_EQ(Shown(1, kSpeed57600).Selected, 1);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(Number("SerialPort"), 5u);
    EXPECT_EQ(Number("BaudRate"), 4u);
    EXPECT_EQ(Text("PhotoPrefix"), "pic%2D.%2M.%4Y_");
    EXPECT_EQ(Text("ThumbPath"), "");
    EXPECT_EQ(Number("ThumbSuffix"), 3u);
}

// What the user types before pressing OK, and either the value stored or the
// report shown (title first).
struct EntryCase {
    const char* name;
    int field;
    std::string typed;
    int field2 = -1;
    std::string typed2 = {};
    std::vector<int> report = {}; // message numbers; 0 stands for the position line
    int position = 0;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigEntryTest : public ConfigDialogTest, public ::testing::WithParamInterface<EntryCase> {};

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

const char* ValueName(int field) {
    switch (field) {
    case kPhotoPrefixEdit:
        return "PhotoPrefix";
    case kThumbPrefixEdit:
        return "ThumbPrefix";
    case kPhotoPathEdit:
        return "PhotoPath";
    case kThumbPathEdit:
        return "ThumbPath";
    case kPhotoDigitsEdit:
        return "PhotoSuffix";
    default:
        return "ThumbSuffix";
    }
}

TEST_P(ConfigEntryTest, StoresValidInputAndReportsTheFirstRefusal) {
    const EntryCase& c = GetParam();
    const int result = Run({[&c](FarDialogItem* items) {
        Type(items[c.field], c.typed);
        if (c.field2 >= 0) {
            Type(items[c.field2], c.typed2);
        }
        return Press(kOkButton);
    }});

    if (c.report.empty()) {
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(host.Messages().empty());
        for (int field : {c.field, c.field2}) {
            if (field == kPhotoDigitsEdit || field == kThumbDigitsEdit) {
                const std::string& typed = field == c.field ? c.typed : c.typed2;
                EXPECT_EQ(Number(ValueName(field)), std::stoul(typed));
            } else if (field >= 0) {
                EXPECT_EQ(Text(ValueName(field)), field == c.field ? c.typed : c.typed2);
            }
        }
        return;
    }
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(StoredNames().empty());
    ASSERT_EQ(host.Messages().size(), 1u);
    const MessageCall& box = host.Messages()[0];
    EXPECT_EQ(box.flags, FMSG_WARNING | FMSG_MB_OK);
    EXPECT_EQ(box.helpTopic, "Errors");
    std::vector<std::string> expected;
    for (int number : c.report) {
        expected.push_back(number == 0 ? AtPosition(c.position) : host.Text(number));
    }
    EXPECT_EQ(box.lines, expected);
    // The dialog comes back with what the user typed.
    ASSERT_EQ(host.Dialogs().size(), 2u);
    const bool digits = c.field == kPhotoDigitsEdit || c.field == kThumbDigitsEdit;
    // A digit field is shown again as the count it was read as.
    EXPECT_EQ(Shown(1, c.field).Data, digits ? std::to_string(std::atoi(c.typed.c_str()))
                                             : c.typed.substr(0, kTextSize - 1));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ConfigEntryTest,
    ::testing::Values(
        EntryCase{"BlankCount", kPhotoDigitsEdit, "", -1, {}, {MBadPhotoDigits, MDigitsAtLeastTwo}},
        EntryCase{"CountOne", kPhotoDigitsEdit, "1", -1, {}, {MBadPhotoDigits, MDigitsAtLeastTwo}},
        EntryCase{"CountTwo", kPhotoDigitsEdit, "2"},
        EntryCase{
            "ThumbCountOne", kThumbDigitsEdit, "1", -1, {}, {MBadThumbDigits, MDigitsAtLeastTwo}},
        EntryCase{"NotADigit", kThumbDigitsEdit, "x", -1, {}, {MBadThumbDigits, MDigitsAtLeastTwo}},
        EntryCase{"Measures254WithThree",
                  kPhotoPrefixEdit,
                  std::string(254, 'a'),
                  -1,
                  {},
                  {MBadPhotoDigits, MNameAndNumberTooLong}},
        EntryCase{"Measures254WithTwo", kPhotoPrefixEdit, std::string(254, 'a'), kPhotoDigitsEdit,
                  "2"},
        EntryCase{
            "Slash", kThumbPrefixEdit, "a/b", -1, {}, {MBadThumbPrefix, 0, MForbiddenCharacter}, 2},
        EntryCase{
            "Colon", kThumbPrefixEdit, "a:b", -1, {}, {MBadThumbPrefix, 0, MForbiddenCharacter}, 2},
        EntryCase{"PercentAtEnd",
                  kPhotoPrefixEdit,
                  "abc%",
                  -1,
                  {},
                  {MBadPhotoPrefix, 0, MBadPlaceholder},
                  5},
        EntryCase{"SecondWidth",
                  kPhotoPathEdit,
                  "%12D",
                  -1,
                  {},
                  {MBadPhotoPath, 0, MSecondWidthDigit},
                  3},
        EntryCase{"ExpansionTooLong",
                  kThumbPathEdit,
                  std::string(257, 't'),
                  -1,
                  {},
                  {MBadThumbPath, 0, MNameTooLong},
                  257},
        EntryCase{"LongTemplateShortName", kPhotoPrefixEdit, Repeat("%1D", 100)},
        EntryCase{"PathOfSpaces", kPhotoPathEdit, "   ", -1, {}, {MBadPhotoPath, MPathOnlySpaces}},
        EntryCase{
            "ThumbPathOfSpaces", kThumbPathEdit, " ", -1, {}, {MBadThumbPath, MPathOnlySpaces}},
        EntryCase{"EmptyPath", kPhotoPathEdit, ""},
        EntryCase{"LeadingSpaces", kThumbPathEdit, "  x"},
        EntryCase{"PhotoPrefixBeforeThumbPath",
                  kThumbPathEdit,
                  "   ",
                  kPhotoPrefixEdit,
                  "a*",
                  {MBadPhotoPrefix, 0, MForbiddenCharacter},
                  2}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ConfigDialogTest, TextsComeBackBoundedAndTerminated) {
    Run({[](FarDialogItem* items) {
        std::memset(items[kPhotoPrefixEdit].Data, 'a', sizeof items[kPhotoPrefixEdit].Data);
        std::memset(items[kPhotoDigitsEdit].Data, '7', sizeof items[kPhotoDigitsEdit].Data);
        return Press(kCheckButton);
    }});
    ASSERT_EQ(host.Dialogs().size(), 2u);
    EXPECT_EQ(std::string(Shown(1, kPhotoPrefixEdit).Data), std::string(kTextSize - 1, 'a'));
    EXPECT_STREQ(Shown(1, kPhotoDigitsEdit).Data, "9"); // "777" read back, shown as 9
    EXPECT_EQ(host.LastMessage().lines.at(0), host.Text(MBadPhotoPrefix));
}

struct StoredCase {
    const char* name;
    uint32_t stored;
    int shownChosen; // -1: none
    uint32_t storedBack;
};

void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigSpeedTest : public ConfigDialogTest,
                        public ::testing::WithParamInterface<StoredCase> {};

TEST_P(ConfigSpeedTest, ShowsAndStoresTheSpeedIndex) {
    const StoredCase& c = GetParam();
    registry.SetNumber(kHkeyCurrentUser, kKey, "BaudRate", c.stored);
    EXPECT_EQ(Run({[](FarDialogItem*) { return Press(kOkButton); }}), 1);
    for (int i = kSpeed9600; i <= kSpeed115200; ++i) {
        EXPECT_EQ(Shown(0, i).Selected, i == c.shownChosen ? 1 : 0) << i;
    }
    EXPECT_EQ(Number("BaudRate"), c.storedBack);
}

INSTANTIATE_TEST_SUITE_P(Speeds, ConfigSpeedTest,
                         ::testing::Values(StoredCase{"Seven", 7, kSpeed115200, 5},
                                           StoredCase{"Huge", 0xFFFFFFFFu, kSpeed115200, 5},
                                           StoredCase{"Zero", 0, kSpeed19200, 2},
                                           StoredCase{"One", 1, kSpeed9600, 1}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ConfigDialogTest, PortOutsideTheGroupShowsNoneAndIsStoredBack) {
    registry.SetNumber(kHkeyCurrentUser, kKey, "SerialPort", 9);
    EXPECT_EQ(Run({[](FarDialogItem*) { return Press(kOkButton); }}), 1);
    for (int i = kCom1; i <= kCom8; ++i) {
        EXPECT_EQ(Shown(0, i).Selected, 0) << i;
    }
    EXPECT_EQ(Number("SerialPort"), 9u);
}

TEST_F(ConfigDialogTest, UndetectedPortIsDisabledButStaysChosen) {
    std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
    portPresent[0] = 1;
    registry.SetNumber(kHkeyCurrentUser, kKey, "SerialPort", 3);
    EXPECT_EQ(Run({[](FarDialogItem*) { return Press(kCheckButton); },
                   [](FarDialogItem*) { return Press(kOkButton); }}),
              1);
    for (std::size_t pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(Shown(pass, kCom1).Flags & DIF_DISABLE, 0u);
        for (int i = kCom2; i <= kCom8; ++i) {
            EXPECT_EQ(Shown(pass, i).Flags, DIF_DISABLE) << i;
        }
        EXPECT_EQ(Shown(pass, kCom4).Selected, 1);
    }
    EXPECT_EQ(Number("SerialPort"), 3u);
}

class ConfigDigitsTest : public ConfigDialogTest,
                         public ::testing::WithParamInterface<StoredCase> {};

// shownChosen is the digit shown; storedBack 0 means OK is refused.
TEST_P(ConfigDigitsTest, ShowsAStoredCountInItsOneCharacterField) {
    const StoredCase& c = GetParam();
    registry.SetNumber(kHkeyCurrentUser, kKey, "ThumbSuffix", c.stored);
    const int result = Run({[](FarDialogItem*) { return Press(kOkButton); }});
    EXPECT_EQ(Shown(0, kThumbDigitsEdit).Data, std::to_string(c.shownChosen));
    if (c.storedBack == 0) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(host.LastMessage().lines, host.Texts({MBadThumbDigits, MDigitsAtLeastTwo}));
    } else {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(Number("ThumbSuffix"), c.storedBack);
    }
}

INSTANTIATE_TEST_SUITE_P(Digits, ConfigDigitsTest,
                         ::testing::Values(StoredCase{"Twelve", 12, 9, 9},
                                           StoredCase{"Huge", 0x80000000u, 9, 9},
                                           StoredCase{"Nine", 9, 9, 9}, StoredCase{"Zero", 0, 0, 0},
                                           StoredCase{"One", 1, 1, 0}),
                         [](const auto& param) { return std::string(param.param.name); });

class ConfigLeaveTest : public ConfigDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(ConfigLeaveTest, LeavingStoresNothing) {
    EXPECT_EQ(Run({[](FarDialogItem* items) {
                  Type(items[kPhotoPrefixEdit], "changed");
                  return Press(GetParam());
              }}),
              0);
    EXPECT_EQ(host.Dialogs().size(), 1u);
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_EQ(registry.CountCalls(Op::CreateKey), 0u);
}

INSTANTIATE_TEST_SUITE_P(ExitCodes, ConfigLeaveTest,
                         ::testing::Values(-1, -2, kCancelButton, kButtonsSeparator,
                                           kPhotoPrefixEdit, kItemCount));

TEST_F(ConfigDialogTest, AboutShowsTheVersionAndComesBack) {
    EXPECT_EQ(Run({[](FarDialogItem*) { return Press(kAboutButton); }}), 0);
    ASSERT_EQ(host.Messages().size(), 1u);
    const MessageCall& about = host.Messages()[0];
    EXPECT_EQ(about.flags, FMSG_MB_OK);
    EXPECT_FALSE(about.hadHelpTopic);
    EXPECT_EQ(about.buttons, 1);
    EXPECT_EQ(about.lines,
              (std::vector<std::string>{host.Text(MAbout),
                                        "Pixlor for Far. Version 1.2, Communication kernel 0.4"}));
    EXPECT_EQ(host.Dialogs().size(), 2u);
}

TEST_F(ConfigDialogTest, RefusesWhileAPanelIsOpenWithoutReadingAnything) {
    openPanelCount = 1;
    EXPECT_EQ(Configure(0), 0);
    EXPECT_TRUE(registry.Calls().empty());
    EXPECT_TRUE(host.Dialogs().empty());
    ASSERT_EQ(host.Messages().size(), 1u);
    const MessageCall& refusal = host.Messages()[0];
    EXPECT_EQ(refusal.flags, 0x10001u);
    EXPECT_TRUE(refusal.hadHelpTopic);
    EXPECT_EQ(refusal.helpTopic, "");
    EXPECT_EQ(refusal.buttons, 0);
    EXPECT_EQ(refusal.lines, host.Texts({MConfigTitle, MConfigPanelOpen}));
}

// The host draws a label from its X1 and each digit field at the column its
// label's length gives: in every language a label must end in a blank, so
// that the field stands apart from the text, and stay inside the frame.
TEST_F(ConfigDialogTest, LabelsStandApartFromTheirFieldsInEveryLanguage) {
    for (const char* language : {"PixlorEng.lng", "PixlorRus.lng"}) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(host.Kit().LoadLanguage(PluginFile(language)));
        const std::size_t pass = host.Dialogs().size();
        Run({});
        ASSERT_EQ(host.Dialogs().size(), pass + 1);
        const int inside = Shown(pass, kFrame).X2 - 1; // the last column within the frame
        for (int label = 0; label < kItemCount; ++label) {
            const FarDialogItem& text = Shown(pass, label);
            if (text.Type != DI_TEXT || (text.Flags & DIF_SEPARATOR)) {
                continue;
            }
            const std::string data = text.Data;
            const int end = text.X1 + static_cast<int>(data.find_last_not_of(' ') + 1);
            EXPECT_LE(text.X1 + static_cast<int>(data.size()) - 1, inside) << data;
            for (int field = 0; field < kItemCount; ++field) {
                const FarDialogItem& edit = Shown(pass, field);
                if ((edit.Type == DI_FIXEDIT || edit.Type == DI_EDIT) && edit.Y1 == text.Y1 &&
                    edit.X1 > text.X1) {
                    EXPECT_GT(edit.X1, end) << "\"" << data << "\" touches item " << field;
                    EXPECT_LE(edit.X1, inside) << field;
                }
            }
        }
    }
}

} // namespace
} // namespace pixlor
