// A few cells of the fault matrix over the real line: the plugin's panel with
// the POSIX port, registry and files against the camera emulator on a
// pseudo-terminal. Real time-outs: keep them few.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "fakes/FakeConsole.h"
#include "fakes/FakeHost.h"
#include "fakes/FakeKeyboard.h"
#include "platform/Platform.h"
#include "plugin/CameraPanel.h"
#include "plugin/OpenPanels.h"
#include "plugin/Startup.h"
#include "settings/SettingsStore.h"
#include "tools/camsim/SamplePictures.h"
#include "tools/camsim/Simulator.h"

namespace pixlor::reliability {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class EmulatorCell : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pixlor-reliability-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "dev");
        fs::create_directories(dir / "out");
        setenv("PIXLOR_DEVICES", (dir / "dev").c_str(), 1);
        setenv("PIXLOR_REGISTRY", (dir / "registry.reg").c_str(), 1);
    }
    void TearDown() override {
        if (panel != nullptr) {
            ClosePlugin(panel);
        }
        sim.reset();
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
        openPanelCount = 0;
        unsetenv("PIXLOR_DEVICES");
        unsetenv("PIXLOR_REGISTRY");
        fs::remove_all(dir);
    }

    void Start(size_t pictures, camsim::CameraConfig config, const char* fault) {
        camsim::Options options;
        options.pictures = camsim::SamplePictures(pictures);
        options.camera = config;
        options.strictSpeed = true;
        sim = std::make_unique<camsim::Simulator>(options);
        ASSERT_TRUE(sim->Start((dir / "dev" / "com2").string())) << sim->Error();
        original = sim->PictureData();
        host.Start();
        BuildSettingsRoot("Software\\Far\\Plugins");
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
        portPresent[1] = 1;
        openPanelCount = 0;
        host.PassivePanel().curDir = (dir / "out").string();
        HANDLE handle = OpenPlugin();
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "the panel opens on the emulator";
        panel = static_cast<CameraPanel*>(handle);
        if (fault != nullptr) {
            ASSERT_TRUE(sim->AddFault(fault));
        }
    }

    // Every item of the top listing selected, then the key.
    void Press(int key) {
        PluginPanelItem* items = nullptr;
        int count = 0;
        ASSERT_EQ(panel->GetFindData(&items, &count), 1);
        auto& shown = host.ActivePanel().items;
        shown.assign(items, items + count);
        for (PluginPanelItem& item : shown) {
            item.Flags |= PPIF_SELECTED;
        }
        panel->FreeFindData(items, count);
        host.AnswerDialogs({7});
        host.AnswerMessages({0});
        EXPECT_EQ(panel->ProcessKey(key, 0), 1);
    }

    // The files written below out/, by size order, and the pictures' photos.
    std::vector<Bytes> Written() const {
        std::vector<Bytes> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir / "out")) {
            if (entry.is_regular_file()) {
                files.push_back(ReadFile(entry.path()));
            }
        }
        return files;
    }
    bool IsCopied(const Bytes& photo) const {
        const std::vector<Bytes> files = Written();
        return std::find(files.begin(), files.end(), photo) != files.end();
    }
    std::vector<std::string> ErrorLines() const {
        std::vector<std::string> lines;
        for (const MessageCall& m : host.Messages()) {
            if (m.helpTopic == "Errors" && m.lines.size() == 3) {
                lines.push_back(m.lines[2]);
            }
        }
        return lines;
    }

    fs::path dir;
    FakeHost host;
    FakeConsole console;
    FakeKeyboard keyboard;
    ScopedPlatform scope{Platform{.console = &console, .keyboard = &keyboard}};
    std::unique_ptr<camsim::Simulator> sim;
    std::vector<camsim::Picture> original;
    CameraPanel* panel = nullptr;
};

TEST_F(EmulatorCell, F6WithTheCameraGoneInTheSecondPictureDeletesNothing) {
    camsim::CameraConfig config;
    config.packetSize = 512;
    Start(2, config, nullptr);
    const size_t first = (original[0].photo.size() + config.packetSize - 1) / config.packetSize;
    ASSERT_TRUE(sim->AddFault("vanish:" + std::to_string(first + 1) + "@photo"));

    Press(VK_F6);

    EXPECT_TRUE(IsCopied(original[0].photo)) << "the first picture is complete";
    EXPECT_FALSE(IsCopied(original[1].photo));
    const std::vector<Bytes> files = Written();
    ASSERT_EQ(files.size(), 2u) << "the second picture's partial file is left";
    EXPECT_TRUE(std::any_of(files.begin(), files.end(),
                            [&](const Bytes& f) { return f.size() == config.packetSize; }));
    EXPECT_EQ(sim->Pictures().size(), 2u) << "the move stops before deleting anything";
    ASSERT_EQ(ErrorLines().size(), 1u);
    // A read time-out, and the receive queue of a line that is gone cannot be discarded.
    EXPECT_EQ(ErrorLines()[0], "Port flags 4128, packet status 11, link status 4");
}

TEST_F(EmulatorCell, F5WithACorruptPacketIsRecoveredByTheRetries) {
    camsim::CameraConfig config;
    config.packetSize = 512;
    Start(2, config, "checksum:2@photo");

    Press(VK_F5);

    EXPECT_TRUE(ErrorLines().empty());
    EXPECT_TRUE(IsCopied(original[0].photo));
    EXPECT_TRUE(IsCopied(original[1].photo));
    EXPECT_EQ(Written().size(), 2u);
    EXPECT_TRUE(sim->WaitForHostSpeed(19200, std::chrono::milliseconds(2000)))
        << "handed back at 19200 bit/s";
}

TEST_F(EmulatorCell, F8OnACameraRefusingSubCode0FallsBackToTheSelection) {
    camsim::CameraConfig config;
    config.refuseDeleteLast = true;
    Start(2, config, nullptr);

    Press(VK_F8);

    EXPECT_TRUE(ErrorLines().empty());
    EXPECT_TRUE(sim->Pictures().empty());
    EXPECT_EQ(host.Controls().back().command, FCTL_CLOSEPLUGIN) << "the empty panel closes";
    EXPECT_TRUE(sim->WaitForHostSpeed(19200, std::chrono::milliseconds(2000)));
}

} // namespace
} // namespace pixlor::reliability
