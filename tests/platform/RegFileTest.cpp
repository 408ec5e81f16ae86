#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/posix/RegFile.h"

namespace pixlor::regfile {
namespace {

Value Text(std::string name, std::string_view text) {
    Value value{std::move(name), 1, {text.begin(), text.end()}};
    value.data.push_back(0);
    return value;
}

const Value* Lookup(Document& document, std::string_view path, std::string_view name) {
    Key* key = FindKey(document.keys, path);
    return key == nullptr ? nullptr : FindValue(*key, name);
}

TEST(RegFile, WritesTheRegedit4FormAndReadsItBack) {
    std::vector<Key> keys{
        {"HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Pixlor",
         {Value{"SerialPort", 4, {0x0a, 0, 0, 0}}, Text("PhotoPrefix", "pic%2D.\"q\"\\x"),
          Text("ThumbPath", ""), Value{"Blob", 3, {0x00, 0xff, 0x10}}, Value{"Other", 0xb, {1}},
          Value{"Short", 4, {1, 2}}, Text("", "default")}},
        {"HKEY_LOCAL_MACHINE\\Empty", {}}};
    const std::string text = Format(keys);
    EXPECT_EQ(text, "REGEDIT4\n"
                    "\n[HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Pixlor]\n"
                    "\"SerialPort\"=dword:0000000a\n"
                    "\"PhotoPrefix\"=\"pic%2D.\\\"q\\\"\\\\x\"\n"
                    "\"ThumbPath\"=\"\"\n"
                    "\"Blob\"=hex:00,ff,10\n"
                    "\"Other\"=hex(b):01\n"
                    "\"Short\"=hex(4):01,02\n"
                    "@=\"default\"\n"
                    "\n[HKEY_LOCAL_MACHINE\\Empty]\n");
    Document back = Parse(text);
    ASSERT_TRUE(back.recognised);
    ASSERT_EQ(back.keys.size(), 2u);
    for (size_t i = 0; i < keys[0].values.size(); ++i) {
        const Value& want = keys[0].values[i];
        const Value& got = back.keys[0].values[i];
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.type, want.type) << want.name;
        EXPECT_EQ(got.data, want.data) << want.name;
    }
}

TEST(RegFile, TextThatAQuotedLineCannotHoldGoesAsHex) {
    std::vector<Key> keys{{"HKEY_CURRENT_USER\\K",
                           {Value{"NoTerminator", 1, {'a', 'b'}}, Text("Lines", "a\nb"),
                            Value{"Embedded", 1, {'a', 0, 'b', 0}},
                            Value{"Long", 3, std::vector<uint8_t>(100, 0x5a)}}}};
    const std::string text = Format(keys);
    EXPECT_NE(text.find("\"NoTerminator\"=hex(1):61,62\n"), std::string::npos);
    EXPECT_NE(text.find(",\\\n  5a"), std::string::npos) << "long data continues on lines";
    Document back = Parse(text);
    ASSERT_EQ(back.keys.size(), 1u);
    ASSERT_EQ(back.keys[0].values.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(back.keys[0].values[i].data, keys[0].values[i].data) << keys[0].values[i].name;
    }
}

TEST(RegFile, KeysAndNamesMatchWithoutCaseAndTheLastValueWins) {
    Document document = Parse("\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A\\B]\r\n"
                              "\"x\"=dword:1\r\n; a comment\r\n[hkey_current_user\\a\\b]\r\n"
                              "\"X\"=\"two\"\r\n");
    ASSERT_TRUE(document.recognised);
    ASSERT_EQ(document.keys.size(), 1u);
    const Value* x = Lookup(document, "HKEY_CURRENT_USER\\a\\B", "x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->type, 1u);
    EXPECT_TRUE(KeyExists(document.keys, "HKEY_CURRENT_USER\\A"));
    EXPECT_FALSE(KeyExists(document.keys, "HKEY_CURRENT_USER\\A\\"));
    EXPECT_FALSE(KeyExists(document.keys, "HKEY_CURRENT_USER\\A\\BC"));
}

TEST(RegFile, DamagedLinesReadAsMissingValuesAndSpareTheirNeighbours) {
    const char* damaged[] = {
        "\"a\"=\"unterminated",
        "\"a\"=dword:123456789",
        "\"a\"=dword:xyz",
        "\"a\"=hex:0g",
        "\"a\"=hex:01,",
        "\"a\"=hex(zz):01",
        "\"a\"=hex(1:01",
        "\"a\"=\"x\" tail",
        "\"a\"=\"bad\\escape\"",
        "\"a\"",
        "\"a\"=",
        "garbage \x01\xff",
        "\"a\"=hex:01,\\",
        "[",
        "[]",
        "\"a\"=hex:01,02,\\\n\"b\"=dword:2",
    };
    for (const char* line : damaged) {
        const std::string text =
            std::string("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"before\"=dword:1\n") + line +
            "\n[HKEY_CURRENT_USER\\K]\n\"after\"=\"ok\"\n";
        Document document = Parse(text);
        EXPECT_EQ(Lookup(document, "HKEY_CURRENT_USER\\K", "a"), nullptr) << line;
        EXPECT_NE(Lookup(document, "HKEY_CURRENT_USER\\K", "before"), nullptr) << line;
        EXPECT_NE(Lookup(document, "HKEY_CURRENT_USER\\K", "after"), nullptr) << line;
    }
}

TEST(RegFile, AFileWithoutTheHeaderIsNotARegistry) {
    for (const char* text : {"", "\n\n", "[HKEY_CURRENT_USER\\K]\n\"a\"=dword:1\n", "REGEDIT5\n",
                             "Windows Registry Editor Version 5.00\n"}) {
        Document document = Parse(text);
        EXPECT_FALSE(document.recognised) << text;
        EXPECT_TRUE(document.keys.empty()) << text;
    }
}

TEST(RegFile, RandomBytesNeverBreakTheParserAndItsOutputIsStable) {
    std::mt19937 random(1234);
    const std::string alphabet = "REGDIT4[]\\\"@=:,()hexdword0123456789abcdef \t\r\n;-\x01\xff";
    for (int round = 0; round < 3000; ++round) {
        std::string text = round % 2 == 0 ? "REGEDIT4\n" : "";
        const size_t length = random() % 200;
        for (size_t i = 0; i < length; ++i) {
            text += round % 3 == 0 ? static_cast<char>(random() % 256)
                                   : alphabet[random() % alphabet.size()];
        }
        const Document document = Parse(text);
        if (document.recognised) {
            const std::string once = Format(document.keys);
            EXPECT_EQ(Format(Parse(once).keys), once) << "round " << round;
        }
    }
}

} // namespace
} // namespace pixlor::regfile
