#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/Platform.h"
#include "platform/SystemBackends.h"
#include "platform/posix/PosixRegistry.h"
#include "platform/posix/RegFile.h"
#include "platform/posix/SerialComm.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

namespace pixlor::system {
namespace {

namespace fs = std::filesystem;

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

fs::path MakeTempFolder() {
    char pattern[] = "/tmp/pixlor-registry-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made != nullptr ? fs::path(made) : fs::path();
}

class PosixRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.empty());
        ASSERT_EQ(RegistryFilePath(), file.string()) << "tests must never touch the user's file";
    }
    ~PosixRegistryTest() override {
        if (!folder.empty()) {
            fs::remove_all(folder);
        }
    }

    RegistryResult Set(PosixRegistry& registry, const char* path, const char* name,
                       const std::string& text) {
        RegistryKey key = 0;
        RegistryResult result = registry.CreateKey(kHkeyCurrentUser, path, kKeyWrite, key);
        if (result != 0) {
            return result;
        }
        result =
            registry.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                              static_cast<uint32_t>(text.size() + 1));
        registry.CloseKey(key);
        return result;
    }

    std::optional<std::string> Get(PosixRegistry& registry, const char* path, const char* name) {
        RegistryKey key = 0;
        if (registry.OpenKey(kHkeyCurrentUser, path, kKeyQueryValue, key) != 0) {
            return std::nullopt;
        }
        char buffer[4096];
        uint32_t size = sizeof buffer;
        const RegistryResult result =
            registry.QueryValue(key, name, nullptr, reinterpret_cast<uint8_t*>(buffer), &size);
        registry.CloseKey(key);
        if (result != 0 || size == 0) {
            return std::nullopt;
        }
        return std::string(buffer, size - 1);
    }

    // In this order: each initialiser uses the one before.
    fs::path folder = MakeTempFolder();
    fs::path file = folder / "sub" / "registry.reg";
    ScopedEnv registryFile{"PIXLOR_REGISTRY", file.string()};
};

TEST_F(PosixRegistryTest, TheStoreRoundTripsThroughTheFileAndAnotherProcessSeesIt) {
    PosixRegistry writer;
    {
        ScopedPlatform scope(Platform{.registry = &writer});
        ASSERT_TRUE(BuildSettingsRoot("Software\\Far\\Plugins"));
        WriteSetting(settings::kSerialPort, 2);
        WriteSetting(settings::kPhotoPrefix, "a \"quoted\" \\ prefix");
        WriteSetting(settings::kThumbPath, "");
    }
    const std::string text = ReadFile(file);
    EXPECT_TRUE(text.starts_with("REGEDIT4\n")) << text;
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Pixlor]\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"SerialPort\"=dword:00000002\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"ThumbPath\"=\"\"\n"), std::string::npos) << text;

    PosixRegistry reader; // a second process reads the same file
    ScopedPlatform scope(Platform{.registry = &reader});
    EXPECT_EQ(ReadSetting(settings::kSerialPort), 2u);
    char buffer[257];
    EXPECT_EQ(ReadSetting(settings::kPhotoPrefix, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "a \"quoted\" \\ prefix");
    EXPECT_EQ(ReadSetting(settings::kThumbPath, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(ReadSetting(settings::kBaudRate), 5u);
}

TEST_F(PosixRegistryTest, KeysAreCaseInsensitiveAndMissingOnesAreNotFound) {
    PosixRegistry registry;
    RegistryKey key = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "Software\\Pixlor", kKeyQueryValue, key), 2);
    EXPECT_FALSE(fs::exists(file)) << "reading creates nothing";
    ASSERT_EQ(Set(registry, "Software\\Pixlor", "Port", "x"), 0);
    EXPECT_EQ(Get(registry, "SOFTWARE\\pixlor", "PORT"), "x");
    EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "software", kKeyQueryValue, key), 0)
        << "a parent exists";
    registry.CloseKey(key);
    EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "Software\\\\Pixlor", kKeyQueryValue, key), 161);
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "Software\\Pixlor", kKeyQueryValue, key), 2);
}

TEST_F(PosixRegistryTest, QueriesKeepTheWin32Contract) {
    PosixRegistry registry;
    ASSERT_EQ(Set(registry, "K", "Name", "12345"), 0);
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, "K", kKeyQueryValue, key), 0);
    uint8_t data[8] = {};
    uint32_t size = 4;
    uint32_t type = 0;
    EXPECT_EQ(registry.QueryValue(key, "Name", &type, data, &size), 234);
    EXPECT_EQ(size, 6u) << "the needed size";
    EXPECT_EQ(registry.QueryValue(key, "Missing", &type, data, &size), 2);
    EXPECT_EQ(registry.SetValue(key, "Name", kRegSz, data, 1), 5) << "opened for reading only";
    char name[8];
    uint32_t nameLength = sizeof name;
    size = sizeof data;
    EXPECT_EQ(registry.EnumValue(key, 0, name, &nameLength, &type, data, &size), 0);
    EXPECT_STREQ(name, "Name");
    EXPECT_EQ(registry.EnumValue(key, 1, name, &nameLength, &type, data, &size), 259);
    EXPECT_EQ(registry.CloseKey(key), 0);
    EXPECT_EQ(registry.CloseKey(key), 6);
}

TEST_F(PosixRegistryTest, AKilledWriterLeavesTheOldFileWhole) {
    PosixRegistry registry;
    ASSERT_EQ(Set(registry, "K", "V", std::string(3000, 'a')), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PosixRegistry writer;
        for (int i = 0;; ++i) {
            Set(writer, "K", "V", std::string(3000 + i % 7, "ab"[i % 2]));
        }
    }
    struct KillOnExit {
        pid_t pid;
        ~KillOnExit() {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } killer{child};
    // Every read while the child rewrites the file sees one whole version.
    int seen = 0;
    std::string last = ReadFile(file);
    for (int i = 0; seen < 5 && i < 20000; ++i) {
        const std::optional<std::string> value = Get(registry, "K", "V");
        ASSERT_TRUE(value) << "read " << i;
        ASSERT_GE(value->size(), 3000u);
        ASSERT_EQ(value->find_first_not_of(value->front()), std::string::npos) << "read " << i;
        const std::string now = ReadFile(file);
        seen += now != last ? 1 : 0;
        last = now;
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_GE(seen, 3) << "the writer did not run";
    const std::optional<std::string> value = Get(registry, "K", "V");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->find_first_not_of(value->front()), std::string::npos);
    // A temporary file the killed writer may have left does not disturb the next write.
    WriteFile(file.parent_path() / ".registry.reg.stray0", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n");
    EXPECT_EQ(Set(registry, "K", "V", "after"), 0);
    EXPECT_EQ(Get(registry, "K", "V"), "after");
}

TEST_F(PosixRegistryTest, ADamagedFileReadsAsMissingValuesAndIsRepairedByAWrite) {
    fs::create_directories(file.parent_path());
    WriteFile(file, "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"good\"=\"yes\"\n\"bad\"=dword:zz\n"
                    "\"cut\"=hex:01,0");
    PosixRegistry registry;
    EXPECT_EQ(Get(registry, "K", "good"), "yes");
    EXPECT_EQ(Get(registry, "K", "bad"), std::nullopt);
    EXPECT_EQ(Get(registry, "K", "cut"), std::nullopt);
    ASSERT_EQ(Set(registry, "K", "new", "1"), 0);
    regfile::Document document = regfile::Parse(ReadFile(file));
    ASSERT_TRUE(document.recognised);
    EXPECT_EQ(document.keys.at(0).values.size(), 2u);
}

TEST_F(PosixRegistryTest, AFileThatIsNotARegistryIsNeverOverwritten) {
    fs::create_directories(file.parent_path());
    const std::string userText = "my notes\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"b\"\n";
    WriteFile(file, userText);
    PosixRegistry registry;
    EXPECT_EQ(Get(registry, "K", "a"), std::nullopt);
    EXPECT_EQ(Set(registry, "K", "a", "c"), 5);
    EXPECT_EQ(ReadFile(file), userText);
}

TEST_F(PosixRegistryTest, TheFileDefaultsToTheUsersConfigurationFolder) {
    ScopedEnv noFile("PIXLOR_REGISTRY", std::nullopt);
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", (folder / "xdg").string());
        EXPECT_EQ(RegistryFilePath(), (folder / "xdg" / "pixlor" / "registry.reg").string());
        PosixRegistry registry;
        ASSERT_EQ(Set(registry, "K", "V", "x"), 0);
        EXPECT_TRUE(fs::exists(folder / "xdg" / "pixlor" / "registry.reg"));
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv home("HOME", (folder / "home").string());
    EXPECT_EQ(RegistryFilePath(),
              (folder / "home" / ".config" / "pixlor" / "registry.reg").string());
}

class SerialCommTest : public PosixRegistryTest {
protected:
    SerialCommTest() {
        fs::create_directories(devices);
        WriteFile(devices / "com1", "");
        fs::create_symlink(folder / "no-such-pty", devices / "com3"); // emulator not started
        WriteFile(devices / "com12", "");
        for (const char* ignored : {"com0", "com", "comX", "com01", "COM4", "tty5"}) {
            WriteFile(devices / ignored, "");
        }
    }
    fs::path devices = folder / "devices";
    ScopedEnv devicesVariable{"PIXLOR_DEVICES", devices.string()};
};

TEST_F(SerialCommTest, ListsTheDevicesThatExistAsTheirComPorts) {
    const std::vector<SerialCommEntry> entries = ListSerialDevices();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].data, "COM1");
    EXPECT_EQ(entries[0].valueName, "\\Device\\Serial0");
    EXPECT_EQ(entries[0].devicePath, (devices / "com1").string());
    EXPECT_EQ(entries[1].data, "COM3");
    EXPECT_EQ(entries[2].data, "COM12");
    EXPECT_EQ(entries[2].valueName, "\\Device\\Serial11");
}

TEST_F(SerialCommTest, StartUpFindsThemThroughTheRegistry) {
    PosixRegistry registry;
    ScopedPlatform scope(Platform{.registry = &registry});
    char names[256] = {};
    char data[256] = {};
    EXPECT_EQ(ListRegistryValues(kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 16, 16,
                                 names, 16, data),
              3);
    EXPECT_STREQ(names, "\\Device\\Serial0");
    EXPECT_STREQ(data, "COM1");
    EXPECT_STREQ(data + 16, "COM3");
    EXPECT_STREQ(data + 32, "") << "\\Device\\Serial11 does not fit its 16-byte name slot";
    EXPECT_FALSE(fs::exists(file)) << "the device list is not stored";

    RegistryKey key = 0;
    EXPECT_EQ(
        registry.CreateKey(kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", kKeyWrite, key),
        5);
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "hardware\\devicemap", kKeyQueryValue, key), 0);
    registry.CloseKey(key);
}

TEST(SerialCommDefault, WithoutADeviceFolderListsTtySAsCom1Up) {
    ScopedEnv devices("PIXLOR_DEVICES", std::nullopt);
    for (const SerialCommEntry& entry : ListSerialDevices()) {
        const std::string tty = "/dev/ttyS" + std::to_string(entry.number - 1);
        EXPECT_EQ(entry.devicePath, tty);
        EXPECT_TRUE(fs::exists(fs::symlink_status(tty)));
    }
    EXPECT_EQ(ListSerialDevices().size(), ListSerialDevicesIn(nullptr).size());
}

} // namespace
} // namespace pixlor::system
