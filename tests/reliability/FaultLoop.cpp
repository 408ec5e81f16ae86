#include "reliability/FaultLoop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include "commands/KeyCommands.h"
#include "faults/FailingPlatform.h"
#include "host/MessageIds.h"
#include "host/OpenPanels.h"
#include "platform/SystemError.h"
#include "plugin/Startup.h"
#include "reliability/World.h"
#include "settings/Settings.h"

namespace pixlor::reliability {
namespace {

using faults::FaultKind;
using faults::FaultMode;

constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kSettingsKey = "Software\\Far\\Plugins\\Pixlor";

// The world of fakes behind the failing seams. The panel is closed while the
// wrappers still stand, and the plan outlives the ports they made.
struct FaultWorld {
    FaultWorld() {
        world.registry.SetString(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial1", "COM2");
        world.registry.SetString(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial3", "COM4");
        failing.emplace(plan);
    }
    ~FaultWorld() {
        world.Close();
        failing.reset();
    }
    faults::FaultPlan plan;
    World world;
    std::optional<faults::FailingPlatform> failing;
};

// What an operation leaves that the user cares about.
struct Outcome {
    int result = 0;
    bool open = false;
    std::map<std::string, Bytes> files; // the new files, by lower-case path
    size_t pictures = 0;                // left in the camera
    std::vector<std::string> listing;
    std::map<std::string, std::string> settings;
    bool operator==(const Outcome&) const = default;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> Names(CameraPanel& panel) {
    std::vector<std::string> names;
    PluginPanelItem* items = nullptr;
    int count = 0;
    if (panel.GetFindData(&items, &count) != 0 && items != nullptr) {
        for (int i = 0; i < count; ++i) {
            names.emplace_back(items[i].FindData.cFileName);
        }
    }
    panel.FreeFindData(items, count);
    return names;
}

// The folders at the top and the pictures in each, as the host would list them.
std::vector<std::string> ListEverything(CameraPanel& panel) {
    std::vector<std::string> listed;
    panel.SetDirectory("\\");
    for (const std::string& folder : Names(panel)) {
        listed.push_back(folder);
        if (folder == ".." || panel.SetDirectory(folder.c_str()) == 0) {
            continue;
        }
        for (const std::string& name : Names(panel)) {
            listed.push_back(folder + "\\" + name);
        }
        panel.SetDirectory("..");
    }
    return listed;
}

size_t ListedPictures(const std::vector<std::string>& listing) {
    return static_cast<size_t>(std::count_if(listing.begin(), listing.end(), [](const auto& n) {
        return n.find('\\') != std::string::npos && !n.ends_with("\\..");
    }));
}

std::map<std::string, std::string> StoredSettings(const FakeRegistry& registry) {
    std::map<std::string, std::string> stored;
    for (const NumberSetting& s : settings::kNumbers) {
        const auto n = registry.GetNumber(kHkeyCurrentUser, kSettingsKey, s.name);
        stored[s.name] = n ? std::to_string(*n) : "-";
    }
    for (const TextSetting& s : settings::kTexts) {
        stored[s.name] = registry.GetString(kHkeyCurrentUser, kSettingsKey, s.name).value_or("-");
    }
    return stored;
}

int Drive(FaultWorld& w, LoopOp op, Outcome& outcome) {
    World& world = w.world;
    switch (op) {
    case LoopOp::Startup:
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
        world.host.Start(StartPlugin);
        return portPresent[1];
    case LoopOp::Open:
        return world.Open() ? 1 : 0;
    case LoopOp::Listing:
        outcome.listing = ListEverything(*world.panel);
        ProcessPanelKey(*world.panel, VK_F7, 0); // the other kind
        for (const std::string& name : ListEverything(*world.panel)) {
            outcome.listing.push_back("thumbs:" + name);
        }
        return 1;
    case LoopOp::F5:
        return world.CopyKey(false);
    case LoopOp::F6Photos:
        return world.CopyKey(true);
    case LoopOp::F6Thumbs:
        return world.CopyKey(true, PKF_SHIFT);
    case LoopOp::F6Both:
        return world.CopyKey(true, PKF_ALT);
    case LoopOp::F8:
        return world.DeleteKey();
    case LoopOp::GetFiles:
        return world.HostCopy();
    case LoopOp::ConfigStore:
        return world.ConfigureOk();
    }
    return 0;
}

// What the boxes of a run told the user: failure reports (an "Errors" box
// with the codes; a failed hand-back reported right after one belongs to it),
// "pictures were not copied" warnings, and the closing after an uncertain
// deletion (which follows its report), and the names of incomplete files a
// failed removal left. The notice that only thumbnails were copied is no failure.
struct Told {
    size_t reports = 0;
    size_t warnings = 0;
    size_t keptFiles = 0; // incomplete files named after a failed removal
    std::string shown;
};

Told WhatWasTold(World& world, size_t from) {
    Told told;
    const auto& messages = world.host.Messages();
    const std::vector<std::string> reports = world.Reports(from);
    size_t r = 0;
    bool afterReport = false;
    for (size_t i = from; i < messages.size(); ++i) {
        const MessageCall& m = messages[i];
        if (m.helpTopic != "Errors") {
            continue;
        }
        const std::string& code = reports[r++];
        told.shown += (told.shown.empty() ? " (reports: " : ", ") + code;
        if (m.lines.size() == 3 && m.lines[1] == world.host.Text(MIncompleteFileKept)) {
            ++told.keptFiles; // names the file a failed removal left
        } else if (m.lines.size() == 3) {
            told.reports += afterReport && code.starts_with("6/") ? 0 : 1;
            afterReport = true;
        } else if (m.lines.size() == 2 && m.lines[1] == world.host.Text(MThumbnailsOnlyKept)) {
            continue;
        } else if (code != "uncertain") {
            ++told.warnings;
        }
    }
    told.shown += told.shown.empty() ? "" : ")";
    return told;
}

bool IsWholePicture(const Bytes& bytes, const World::PictureList& pictures) {
    return std::any_of(pictures.begin(), pictures.end(), [&](const fakes::FakePicture& p) {
        return bytes == p.photo || bytes == p.thumbnail;
    });
}

struct Prepared {
    World::PictureList before;
    size_t from = 0;
    int screens = 0;
};

Prepared Prepare(FaultWorld& w, LoopOp op) {
    World& world = w.world;
    world.Seed(World::Join(world.PhotosDir(), "keep.jpg"), "the user's own file");
    world.Seed(World::Join(world.HostDir(), "keep.jpg"), "another file of the user");
    if (op == LoopOp::ConfigStore) {
        // Stored texts that differ from the defaults: a lost reading would show.
        world.registry.SetString(kHkeyCurrentUser, kSettingsKey, "PhotoPrefix", "img%4Y%2M%2D_");
        world.registry.SetString(kHkeyCurrentUser, kSettingsKey, "PhotoPath", "%4Y-%2M");
    }
    if (op != LoopOp::Startup && op != LoopOp::Open && op != LoopOp::ConfigStore) {
        world.Open();
    }
    world.ClearRecords();
    return {world.Pictures(), world.host.Messages().size(), world.host.Kit().OpenScreens()};
}

Outcome Observe(FaultWorld& w, int result, const Outcome& driven) {
    World& world = w.world;
    Outcome o = driven;
    o.result = result;
    o.open = world.IsOpen();
    for (const std::string& path : world.files->FilePaths()) {
        if (!world.seeds.contains(path)) {
            o.files[Lower(path)] = world.files->File(path)->bytes;
        }
    }
    o.pictures = world.Pictures().size();
    o.settings = StoredSettings(world.registry);
    return o;
}

const Outcome& Baseline(LoopOp op) {
    static std::map<LoopOp, Outcome> baselines;
    if (!baselines.contains(op)) {
        FaultWorld w;
        Prepare(w, op);
        Outcome driven;
        const int result = Drive(w, op, driven);
        baselines[op] = Observe(w, result, driven);
    }
    return baselines[op];
}

// `removalRefused`: the run made the removal of a file fail.
void CheckRun(FaultWorld& w, LoopOp op, const Prepared& p, const Outcome& outcome,
              bool removalRefused, LoopRun& run) {
    World& world = w.world;
    auto check = [&run](bool ok, const std::string& what) {
        if (!ok) {
            run.broken.push_back(what);
        }
    };
    const Told told = WhatWasTold(world, p.from);
    run.reported = told.reports + told.warnings > 0;
    const std::string& shown = told.shown;
    check(world.SeedsIntact(), "an existing file was changed");
    if (op != LoopOp::F8) {
        check(world.NothingLost(p.before), "a picture left the camera without a whole copy");
    }
    // A copy removes the incomplete file it made; only a removal that fails
    // leaves one, and the user is told its name.
    for (const auto& [path, bytes] : outcome.files) {
        check(IsWholePicture(bytes, p.before) || (removalRefused && told.keptFiles > 0),
              "a file that is not whole lies under a picture's name: " + path);
    }
    const bool changed = op != LoopOp::Startup && !(outcome == Baseline(op));
    if (changed) {
        const Outcome& base = Baseline(op);
        std::string what;
        what += outcome.result != base.result ? " result" : "";
        what += outcome.open != base.open ? " open" : "";
        for (const auto& [path, bytes] : outcome.files) {
            const auto same = base.files.find(path);
            what += same == base.files.end() ? " new file " + path
                    : same->second != bytes  ? " other bytes in " + path
                                             : "";
        }
        for (const auto& [path, bytes] : base.files) {
            what += outcome.files.contains(path) ? "" : " no file " + path;
        }
        what += outcome.pictures != base.pictures ? " pictures" : "";
        what += outcome.listing != base.listing ? " listing" : "";
        what += outcome.settings != base.settings ? " settings" : "";
        check(run.reported, "the outcome changed untold:" + what);
    }
    check(told.reports <= 1 && told.warnings <= 1, "more than one report" + shown);
    for (const std::string& what : world.LeftOpen()) {
        run.broken.push_back(what);
    }
    check(world.host.Kit().badRestores == 0, "a screen was restored twice");
    check(world.TimingBalanced(), "a pause outside an operation, or an operation never ended");
    const int opened = op == LoopOp::Open && world.IsOpen() ? 1 : 0;
    check(world.host.Kit().OpenScreens() == p.screens + opened, "a saved screen was left behind");
    check(openPanelCount == (world.IsOpen() ? 1 : 0), "the open-panel count is wrong");
    // Untold, the panel holds no connection the camera may have lost; where
    // the camera was left, the next opening must find it.
    if (!run.reported) {
        check(!world.IsOpen() || !world.panel->camera->Connected(),
              "the camera was left connected, untold");
    }
}

// The fault is gone: closing the panel closes the port, and the next opening
// finds the camera and lists the pictures it holds.
void CheckNextOpening(FaultWorld& w, LoopRun& run) {
    World& world = w.world;
    w.plan.Disarm();
    world.Heal();
    world.Close();
    if (world.device.open) {
        run.broken.emplace_back("the port stayed open after the panel closed");
    }
    if (world.Empty()) {
        world.Refill(2);
    }
    const size_t from = world.host.Messages().size();
    if (!world.Open()) {
        run.broken.emplace_back("the next opening did not find the camera: " +
                                (world.host.Messages().size() > from
                                     ? world.host.Messages().back().lines.back()
                                     : std::string("no message")));
        return;
    }
    const size_t listed = ListedPictures(ListEverything(*world.panel));
    if (listed != world.Pictures().size() ||
        world.panel->camera->PictureCount() != world.Pictures().size()) {
        run.broken.emplace_back("the next opening listed " + std::to_string(listed) + " of " +
                                std::to_string(world.Pictures().size()) + " pictures");
    }
    if (!world.AtDefaultSpeed()) {
        run.broken.emplace_back("the next opening left the camera at high speed");
    }
    world.Close();
    if (world.device.open) {
        run.broken.emplace_back("the port stayed open after the next opening closed");
    }
}

std::string Describe(LoopOp op, const LoopFault& f) {
    char text[160];
    std::snprintf(text, sizeof text, "%s, %s fails with %u %s at call %u: ", LoopOpName(op),
                  faults::InfoOf(f.kind).label, f.error, faults::ModeName(f.mode), f.k);
    return text;
}

} // namespace

const char* LoopOpName(LoopOp op) {
    switch (op) {
    case LoopOp::Startup:
        return "Startup";
    case LoopOp::Open:
        return "Open";
    case LoopOp::Listing:
        return "Listing";
    case LoopOp::F5:
        return "F5";
    case LoopOp::F6Photos:
        return "F6Photos";
    case LoopOp::F6Thumbs:
        return "F6Thumbnails";
    case LoopOp::F6Both:
        return "F6Both";
    case LoopOp::F8:
        return "F8";
    case LoopOp::GetFiles:
        return "GetFiles";
    case LoopOp::ConfigStore:
        return "ConfigStore";
    }
    return "?";
}

const std::vector<LoopOp>& AllLoopOps() {
    static const std::vector<LoopOp> ops = {
        LoopOp::Startup,  LoopOp::Open,   LoopOp::Listing, LoopOp::F5,       LoopOp::F6Photos,
        LoopOp::F6Thumbs, LoopOp::F6Both, LoopOp::F8,      LoopOp::GetFiles, LoopOp::ConfigStore};
    return ops;
}

LoopRun RunWithFault(LoopOp op, const LoopFault& fault) {
    Baseline(op);
    LoopRun run;
    FaultWorld w;
    const Prepared p = Prepare(w, op);
    w.plan.Arm(fault.kind, fault.k, fault.mode, fault.error);
    if (fault.kind == FaultKind::FileRemove) {
        // Only an incomplete file is removed: every picture's second write fails.
        w.plan.AlsoArm(FaultKind::FileWrite, 2, FaultMode::FromK, syserr::kDiskFull);
    }
    Outcome driven;
    const int result = Drive(w, op, driven);
    run.reached = w.plan.Reached();
    w.plan.Disarm();
    if (std::getenv("PIXLOR_FAULT_LOOP_TRACE") != nullptr) {
        std::cout << Describe(op, fault) << "result " << result << "\n";
        for (const MessageCall& m : w.world.host.Messages()) {
            for (const std::string& line : m.lines) {
                std::cout << "    | " << line << "\n";
            }
            std::cout << "    +-- " << m.helpTopic << "\n";
        }
        for (const fakes::ReceivedCommand& c : w.world.fake.commands) {
            std::cout << "    camera got";
            for (const uint8_t b : c.payload) {
                std::cout << " " << static_cast<int>(b);
            }
            std::cout << (c.checksumOk ? "" : " (bad checksum)") << "\n";
        }
        for (const std::string& path : w.world.files->FilePaths()) {
            std::cout << "    file " << path << " " << w.world.files->File(path)->bytes.size()
                      << "\n";
        }
    }
    CheckRun(w, op, p, Observe(w, result, driven),
             fault.kind == FaultKind::FileRemove && run.reached, run);
    CheckNextOpening(w, run);
    return run;
}

std::vector<uint32_t> CallsWithoutFault(LoopOp op) {
    FaultWorld w;
    Prepare(w, op);
    std::vector<uint32_t> before(faults::kFaultKindCount);
    for (const auto& info : faults::kFaultKinds) {
        before[static_cast<size_t>(info.kind)] = w.plan.Calls(info.kind);
    }
    Outcome driven;
    Drive(w, op, driven);
    std::vector<uint32_t> calls(faults::kFaultKindCount);
    for (const auto& info : faults::kFaultKinds) {
        const auto i = static_cast<size_t>(info.kind);
        calls[i] = w.plan.Calls(info.kind) - before[i];
    }
    return calls;
}

LoopFigures RunLoop(LoopOp op, FaultMode mode, bool full, std::vector<std::string>& failures) {
    LoopFigures figures;
    for (const auto& info : faults::kFaultKinds) {
        for (const uint32_t error : faults::ErrorsOf(info.kind)) {
            for (uint32_t k = 1;; k = full || k < 4 ? k + 1 : k + k / 2) {
                const LoopFault fault{info.kind, error, mode, k};
                const LoopRun run = RunWithFault(op, fault);
                ++figures.runs;
                figures.reported += run.reported ? 1 : 0;
                figures.brokenRuns += run.broken.empty() ? 0 : 1;
                for (const std::string& b : run.broken) {
                    failures.push_back(Describe(op, fault) + b);
                }
                if (!run.reached || k > 5000) {
                    break;
                }
            }
        }
    }
    return figures;
}

} // namespace pixlor::reliability
