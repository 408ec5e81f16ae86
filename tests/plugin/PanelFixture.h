// A panel over the fake host, registry and camera: the plugin started, one
// serial port present, and helpers to open a panel and take its listing.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeCamera.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeHost.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSerialDevice.h"
#include "fakes/FakeSleeper.h"
#include "host/OpenPanels.h"
#include "platform/Platform.h"
#include "plugin/CameraPanel.h"
#include "plugin/Startup.h"
#include "settings/SettingsStore.h"

namespace pixlor {

inline constexpr const char* kSettingsKey = "Software\\Far\\Plugins\\Pixlor";
inline constexpr uint32_t k17May0905 = 1021626330; // 2002-05-17 09:05:30 UTC
inline constexpr uint32_t k17May1000 = 1021629600; // 2002-05-17 10:00:00
inline constexpr uint32_t k18May0800 = 1021708800; // 2002-05-18 08:00:00

struct Listing {
    int result = 0;
    bool nullArray = false;
    std::vector<PluginPanelItem> items;

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const PluginPanelItem& item : items) {
            names.emplace_back(item.FindData.cFileName);
        }
        return names;
    }
};

class PanelFixture : public testing::Test {
protected:
    PanelFixture() {
        host.Start();
        BuildSettingsRoot("Software\\Far\\Plugins");
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
        portPresent[1] = 1;
        openPanelCount = 0;
    }
    ~PanelFixture() override {
        panel.reset();
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
        openPanelCount = 0;
    }

    void SetText(const char* name, const std::string& text) {
        registry.SetString(kHkeyCurrentUser, kSettingsKey, name, text);
    }
    void SetNumber(const char* name, uint32_t number) {
        registry.SetNumber(kHkeyCurrentUser, kSettingsKey, name, number);
    }
    void AddPicture(uint32_t time, uint32_t photoSize, uint32_t thumbSize) {
        fake.AddPicture(fakes::FakePicture::Sized(photoSize, thumbSize, time));
    }
    // Two pictures of 17 May 2002 and one of 18 May.
    void ThreePictures() {
        AddPicture(k17May0905, 5000, 300);
        AddPicture(k17May1000, 6000, 400);
        AddPicture(k18May0800, 7000, 500);
    }

    // Opens the panel the test then owns; false when OpenPlugin refused.
    bool Open() {
        HANDLE handle = OpenPlugin();
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        panel.reset(static_cast<CameraPanel*>(handle));
        return true;
    }

    Listing List() {
        Listing listing;
        PluginPanelItem* items = reinterpret_cast<PluginPanelItem*>(1);
        int count = -1;
        listing.result = panel->GetFindData(&items, &count);
        listing.nullArray = items == nullptr;
        if (items != nullptr && count > 0) {
            listing.items.assign(items, items + count);
        }
        panel->FreeFindData(items, count);
        return listing;
    }

    struct Closer {
        void operator()(CameraPanel* p) const { ClosePlugin(p); }
    };

    FakeHost host;
    FakeRegistry registry;
    fakes::FakeSerialDevice device;
    fakes::FakeSerialFactory factory{device};
    fakes::FakeSleeper sleeper;
    FakeClock clock{k17May0905};
    ScopedPlatform scope{
        Platform{.serial = &factory, .sleeper = &sleeper, .clock = &clock, .registry = &registry}};
    fakes::FakeCamera fake{device};
    std::unique_ptr<CameraPanel, Closer> panel;
};

} // namespace pixlor
