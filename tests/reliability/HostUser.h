// The user at the host: opens the panel, presses the keys, runs the host's own
// copy and the configuration, and reads the "Errors" boxes. Shared by the
// world of fakes and the world over the emulator, which bring the rest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/FakeHost.h"
#include "plugin/CameraPanel.h"

namespace pixlor::reliability {

class HostUser {
public:
    // `hostDir`: where the host's own copy puts the pictures.
    explicit HostUser(std::string hostDir) : hostDir_(std::move(hostDir)) {}
    HostUser(const HostUser&) = delete;
    HostUser& operator=(const HostUser&) = delete;

    // Each returns what the entry point returned.
    bool Open();
    void Close();
    bool IsOpen() const { return panel != nullptr; }
    // F5 / F6 on the whole top listing, into the passive panel's folder; Shift
    // or Alt in `controlState` choose the kinds as the keys do.
    int CopyKey(bool move, unsigned controlState = 0);
    int DeleteKey();   // F8 on the whole top listing, confirmed
    int HostCopy();    // GetFiles of every picture into the host folder
    int ConfigureOk(); // Configure, confirmed with OK
    // The host closes the panel when the plugin asked it to.
    void HonourClose();

    // The "Errors" reports since message `from`: "4/11/0x20" (link, packet, port flags)
    // or "9/sys112" for a failed system call; "warn" for the not-copied warning,
    // "uncertain" for the closing after a deletion that may have happened unseen.
    std::vector<std::string> Reports(size_t from) const;
    // The port flags of those reports, OR-ed.
    uint32_t ReportedFlags(size_t from) const;

    FakeHost host;
    CameraPanel* panel = nullptr;

protected:
    ~HostUser() = default; // the worlds close the panel while their platform is in place

private:
    void ListTop();

    std::string hostDir_;
};

} // namespace pixlor::reliability
