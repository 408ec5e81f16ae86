// A camera panel over the fake camera, the fake host and an in-memory disk,
// for the tests of the copies, the deletion and the keys.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeCamera.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeHost.h"
#include "fakes/FakeKeyboard.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSleeper.h"
#include "host/MessageIds.h"
#include "platform/Platform.h"
#include "plugin/CameraPanel.h"
#include "transfer/PictureTime.h"

namespace pixlor::transfertest {

using fakes::CameraFault;
using fakes::FakePicture;
using Bytes = std::vector<uint8_t>;

inline constexpr uint32_t k17May2002 = 1021626330; // 2002-05-17 09:05:30 UTC
inline constexpr uint32_t kDay = 86400;

// A console whose Esc key is pressed when the script says so: the script sees
// the number of each poll (from 1) and may also act on the camera then. With
// `releases`, each press queues its release behind it, as a real key does;
// `arrivals` queues records of the test's choice before a poll.
class ScriptedConsole final : public Console {
public:
    std::function<bool(int poll)> script;
    std::map<int, std::vector<ConsoleEvent>> arrivals;
    bool releases = false;
    int polls = 0;

    void TakeInTyped() override {}
    bool PendingEvents(uint32_t& count) override {
        ++polls;
        if (script && script(polls)) {
            queue_.push_back(ConsoleEvent{true, true, 0x1B, 27});
            if (releases) {
                queue_.push_back(ConsoleEvent{true, false, 0x1B, 27});
            }
        }
        if (const auto found = arrivals.find(polls); found != arrivals.end()) {
            queue_.insert(queue_.end(), found->second.begin(), found->second.end());
        }
        count = static_cast<uint32_t>(queue_.size());
        return true;
    }
    bool ReadEvent(ConsoleEvent& event, uint32_t& read) override {
        read = queue_.empty() ? 0 : 1;
        if (!queue_.empty()) {
            event = queue_.front();
            queue_.pop_front();
        }
        return true;
    }
    // Esc at these polls.
    void EscAt(std::vector<int> at) {
        script = [at](int poll) { return std::find(at.begin(), at.end(), poll) != at.end(); };
    }
    size_t Queued() const { return queue_.size(); }

private:
    std::deque<ConsoleEvent> queue_;
};

class TransferFixture : public ::testing::Test {
protected:
    TransferFixture() { host.Start(); }

    // A picture of 2500 photo bytes (three packets) and 300 thumbnail bytes.
    static FakePicture Picture(uint32_t time, uint8_t seed) {
        return FakePicture::Sized(2500, 300, time, seed);
    }

    // Opens the panel on these pictures with the details of the first
    // `detailsRead` (all by default) read, the camera handed back, and the
    // camera's record cleared.
    void Open(std::vector<FakePicture> pictures, uint32_t detailsRead = UINT32_MAX) {
        for (FakePicture& p : pictures) {
            fake.AddPicture(std::move(p));
        }
        originals = fake.pictures;
        panel = std::make_unique<CameraPanel>();
        Camera& camera = *panel->camera;
        ASSERT_TRUE(camera.LoadPictureTable());
        const uint32_t read = std::min(detailsRead, camera.PictureCount());
        for (uint32_t n = 1; n <= read; ++n) {
            ASSERT_TRUE(camera.LoadPictureInfo(n, n == read));
        }
        ASSERT_TRUE(camera.Disconnect());
        fake.commands.clear();
        fake.controlBytes.clear();
        fake.speedIndexes.clear();
    }

    // The panel lists every picture as a file, as the listing names them, and
    // the host's update lists the camera's pictures again.
    void ListPictures(const std::string& prefix = "pic17.05.2002_") {
        panel->listingFlags = kListingPictures;
        host.ActivePanel().items = PictureItems(prefix);
        host.Kit().rereadItems = [this, prefix] { return PictureItems(prefix); };
    }
    std::vector<PluginPanelItem> PictureItems(const std::string& prefix) {
        std::vector<PluginPanelItem> items;
        for (uint32_t p = 0; p < panel->camera->PictureCount(); ++p) {
            char number[16];
            std::snprintf(number, sizeof number, "%03u", p + 1);
            PluginPanelItem item =
                hostkit::MakePanelItem(prefix + number + ".jpg", RecordOf(p).photoSize, p);
            const FileTime time = PictureFileTime(RecordOf(p));
            item.FindData.ftCreationTime = FarFileTime{time.low, time.high};
            items.push_back(item);
        }
        return items;
    }

    void Select(std::initializer_list<uint32_t> positions) {
        for (uint32_t p : positions) {
            host.ActivePanel().items.at(p).Flags |= PPIF_SELECTED;
        }
    }

    std::vector<uint32_t> SelectedPositions() {
        std::vector<uint32_t> selected;
        for (const PluginPanelItem& item : host.ActivePanel().items) {
            if ((item.Flags & PPIF_SELECTED) != 0) {
                const uint32_t position = item.UserData; // the record is packed
                selected.push_back(position);
            }
        }
        return selected;
    }

    const PictureRecord& RecordOf(uint32_t position) { return *panel->camera->RecordAt(position); }

    // The camera is at 19200 bit/s again and was switched back at the end.
    bool HandedBack() const {
        return !panel->camera->Connected() &&
               (fake.speedIndexes.empty() || fake.speedIndexes.back() == 0);
    }

    Bytes FileBytes(const std::string& path) const {
        const FakeFile* file = files.File(path);
        return file != nullptr ? file->bytes : Bytes{};
    }

    // Messages that waited for the user, by help topic.
    std::vector<std::string> Questions() const {
        std::vector<std::string> topics;
        for (const MessageCall& m : host.Messages()) {
            if (m.WaitsForAnswer()) {
                topics.push_back(m.helpTopic);
            }
        }
        return topics;
    }

    FakeHost host;
    fakes::FakeSerialDevice device;
    fakes::FakeSerialFactory factory{device};
    fakes::FakeSleeper sleeper;
    FakeClock clock;
    FakeFileSystem files;
    FakeRegistry registry;
    ScriptedConsole console;
    FakeKeyboard keyboard;
    ScopedPlatform scope{Platform{.serial = &factory,
                                  .sleeper = &sleeper,
                                  .clock = &clock,
                                  .files = &files,
                                  .registry = &registry,
                                  .console = &console,
                                  .keyboard = &keyboard}};
    fakes::FakeCamera fake{device};
    std::vector<FakePicture> originals;
    std::unique_ptr<CameraPanel> panel;
};

} // namespace pixlor::transfertest
