#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fakes/FakeHost.h"
#include "host/DialogItems.h"
#include "host/MessageIds.h"

namespace pixlor {
namespace {

TEST(DialogItemsTest, WidensFieldsAndResolvesTexts) {
    FakeHost host;
    host.Start();
    static const char history[] = "PXCopyDir";
    static const char folder[] = "D:\\Photos\\";
    const DialogItemSpec specs[] = {
        {DI_DOUBLEBOX, 3, 1, 72, 9, 0, 0, 0, 0, MCopyTitle},
        {DI_EDIT, 5, 3, 70, 0, 1, TextAddress(history), DIF_HISTORY, 0, TextAddress(folder)},
        {DI_RADIOBUTTON, 5, 4, 0, 0, 0, 1, DIF_GROUP, 0, MSubfolderAuto},
        {DI_TEXT, 255, 7, 0, 0, 0, 0, DIF_SEPARATOR, 0, TextAddress("")},
        {DI_BUTTON, 5, 8, 0, 0, 0, 0, DIF_CENTERGROUP, 1, MOk},
    };
    FarDialogItem items[5];
    BuildDialogItems(specs, items, 5);

    EXPECT_EQ(items[0].Type, DI_DOUBLEBOX);
    EXPECT_EQ(items[0].X2, 72);
    EXPECT_EQ(items[0].Data, host.Text(MCopyTitle));
    EXPECT_EQ(items[1].Focus, 1);
    EXPECT_EQ(items[1].History, history);
    EXPECT_EQ(items[1].Flags, DIF_HISTORY);
    EXPECT_STREQ(items[1].Data, folder);
    EXPECT_EQ(items[2].Selected, 1);
    EXPECT_EQ(items[2].Data, host.Text(MSubfolderAuto));
    EXPECT_EQ(items[3].X1, 255); // unsigned 8-bit, not -1
    EXPECT_STREQ(items[3].Data, "");
    EXPECT_EQ(items[4].DefaultButton, 1);
    EXPECT_EQ(items[4].Data, host.Text(MOk));
}

TEST(DialogItemsTest, CutsTextsAtTheItemBuffer) {
    FakeHost host;
    host.Start();
    const std::string text(700, 'x');
    const DialogItemSpec entry{DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, TextAddress(text.c_str())};
    FarDialogItem item;
    std::memset(static_cast<void*>(&item), 0x55, sizeof item);
    BuildDialogItems(&entry, &item, 1);
    EXPECT_EQ(std::string(item.Data), std::string(511, 'x'));
}

TEST(DialogItemsTest, ValuesFromTwoThousandAreAddresses) {
    FakeHost host;
    host.Start();
    // 1999 is still a message number: beyond the file, the host gives "".
    const DialogItemSpec entry{DI_TEXT, 0, 0, 0, 0, 0, 0, 0, 0, 1999};
    FarDialogItem item;
    BuildDialogItems(&entry, &item, 1);
    EXPECT_STREQ(item.Data, "");
    EXPECT_EQ(host.Kit().badMessageNumbers, 1);
}

} // namespace
} // namespace pixlor
