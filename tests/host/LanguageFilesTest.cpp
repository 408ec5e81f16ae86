#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "fakes/FakeHost.h"
#include "host/MessageIds.h"
#include "tools/hostkit/LanguageFile.h"

namespace pixlor {
namespace {

hostkit::LanguageFile Load(const std::string& name) {
    hostkit::LanguageFile file;
    EXPECT_TRUE(hostkit::ReadLanguageFile(PluginFile(name), file)) << name;
    return file;
}

// The conversion letters of a format, "%%" left out.
std::string Conversions(const std::string& format) {
    std::string letters;
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] == '%') {
            if (format[i + 1] != '%') {
                letters += format[i + 1];
            }
            ++i;
        }
    }
    return letters;
}

TEST(LanguageFilesTest, BothLanguagesHoldEveryMessage) {
    const auto english = Load("PixlorEng.lng");
    const auto russian = Load("PixlorRus.lng");
    EXPECT_EQ(english.language, "English");
    EXPECT_EQ(russian.language, "Russian");
    EXPECT_EQ(english.messages.size(), static_cast<std::size_t>(kMessageCount));
    EXPECT_EQ(russian.messages.size(), english.messages.size());
    EXPECT_EQ(kMessageCount, MKeyView + 1);
}

TEST(LanguageFilesTest, FormatsTakeTheirArgumentsInOrder) {
    const std::map<int, std::string> formats = {
        {MErrorAtPosition, "d"}, {MCameraCodes, "udd"},    {MSystemCodes, "du"},
        {MFileProgress, "uuuu"}, {MTotalProgress, "uuuu"}, {MDeleteProgress, "dd"},
        {MNotCopied, "d"},
    };
    for (const char* name : {"PixlorEng.lng", "PixlorRus.lng"}) {
        const auto file = Load(name);
        for (std::size_t id = 0; id < file.messages.size(); ++id) {
            const auto found = formats.find(static_cast<int>(id));
            const std::string expected = found != formats.end() ? found->second : "";
            // Texts shown as they are may hold a lone % (message 51 explains it).
            if (found == formats.end()) {
                continue;
            }
            EXPECT_EQ(Conversions(file.messages[id]), expected) << name << " message " << id;
        }
    }
}

TEST(LanguageFilesTest, KeyBarLabelsFitSixCharacters) {
    for (const char* name : {"PixlorEng.lng", "PixlorRus.lng"}) {
        const auto file = Load(name);
        for (int id = MKeyCopyPhotoOwn; id <= MKeyNumberContinue; ++id) {
            const std::string& label = file.messages.at(static_cast<std::size_t>(id));
            EXPECT_FALSE(label.empty()) << name << " " << id;
            EXPECT_LE(label.size(), 6u) << name << " " << id << " " << label;
        }
    }
}

TEST(LanguageFilesTest, MoveQuestionSaysOnlyCopiedPicturesAreDeleted) {
    std::string text = Load("PixlorEng.lng").messages.at(MDeleteRemaining);
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_NE(text.find("delete the pictures already copied"), std::string::npos) << text;
}

TEST(LanguageFilesTest, UnquotingFollowsTheHost) {
    EXPECT_EQ(hostkit::UnquoteMessageLine(R"("a \"b\" \\ c")"), R"(a "b" \ c)");
    EXPECT_EQ(hostkit::UnquoteMessageLine(R"("tab\there")"), "tab\there");
    EXPECT_EQ(hostkit::UnquoteMessageLine(R"("say ""hi""")"), R"(say "hi")");
    EXPECT_EQ(hostkit::UnquoteMessageLine(R"("keep \q")"), R"(keep \q)");
    EXPECT_EQ(hostkit::UnquoteMessageLine(R"("")"), "");
}

std::set<std::string> Topics(const std::string& name) {
    std::ifstream in(PluginFile(name), std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::set<std::string> topics;
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (first) {
            EXPECT_EQ(line.rfind(".Language=", 0), 0u) << name;
            first = false;
        }
        if (line.size() > 1 && line[0] == '@' && line[1] != '-' && line[1] != '+') {
            std::string topic = line.substr(1);
            for (char& c : topic) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            topics.insert(topic);
        }
    }
    return topics;
}

TEST(HelpFilesTest, EveryTopicTheCodeNamesExists) {
    const char* named[] = {"Contents", "Configure",          "NoSerialPort",     "MultiSession",
                           "Errors",   "DownloadRemaining?", "DeleteRemaining?", "WhereToCopy",
                           "Delete?",  "DeleteClosePlugin"};
    for (const char* file : {"PixlorEng.hlf", "PixlorRus.hlf"}) {
        const auto topics = Topics(file);
        for (std::string topic : named) {
            for (char& c : topic) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            EXPECT_TRUE(topics.count(topic)) << file << " lacks @" << topic;
        }
    }
}

TEST(HelpFilesTest, LinksPointAtExistingTopics) {
    for (const char* name : {"PixlorEng.hlf", "PixlorRus.hlf"}) {
        const auto topics = Topics(name);
        std::ifstream in(PluginFile(name), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const std::string body = text.str();
        for (std::size_t at = body.find("~@"); at != std::string::npos;
             at = body.find("~@", at + 2)) {
            const std::size_t end = body.find('@', at + 2);
            ASSERT_NE(end, std::string::npos);
            std::string target = body.substr(at + 2, end - at - 2);
            for (char& c : target) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            EXPECT_TRUE(topics.count(target)) << name << " links to missing @" << target;
        }
    }
}

} // namespace
} // namespace pixlor
