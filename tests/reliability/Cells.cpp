#include "reliability/Cells.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "host/OpenPanels.h"
#include "reliability/EmulatorCells.h"
#include "serial/PortFlags.h"

namespace pixlor::reliability {

const char* OpName(Op op) {
    switch (op) {
    case Op::Open:
        return "Open";
    case Op::F5:
        return "F5";
    case Op::F6:
        return "F6";
    case Op::F8:
        return "F8";
    case Op::HostCopy:
        return "HostCopy";
    }
    return "?";
}

void PrintTo(const MatrixCell& cell, std::ostream* os) {
    *os << cell.fault << " x " << OpName(cell.op);
}

std::string CellTestName(const MatrixCell& cell) {
    std::string name = std::string(cell.fault) + "_" + OpName(cell.op);
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

void ExpectCell(const MatrixCell& cell, const CellResult& result) {
    if (std::getenv("RELIABILITY_PRINT") != nullptr) {
        std::cout << "    {\"" << cell.fault << "\", Op::" << OpName(cell.op) << ", \""
                  << result.outcome << "\"},\n";
    }
    EXPECT_EQ(result.outcome, cell.outcome);
    for (const std::string& broken : result.broken) {
        ADD_FAILURE() << broken;
    }
}

const std::vector<NamedFault>& AllFaults() {
    using T = NamedFault;
    static const std::vector<NamedFault> faults = {
        {"checksum-once", Sabotage::Corrupt, T::Data, false, true},
        {"checksum-always", Sabotage::Corrupt, T::Data, true, true},
        {"cut", Sabotage::Cut, T::Data, false, true},
        {"oversized", Sabotage::Oversized, T::Data, false, true},
        {"silence", Sabotage::Silent, T::Data, false, true},
        {"nak-once", Sabotage::Nak, T::Data, false, true},
        {"nak-storm", Sabotage::Nak, T::Data, true, false},
        {"refuse-select", Sabotage::Refuse, T::Select, false, true},
        {"refuse-request", Sabotage::Refuse, T::Request, false, true},
        {"refuse-delete", Sabotage::Refuse, T::Delete, false, true},
        {"delete-answer-lost", Sabotage::Silent, T::Delete, false, true},
        {"junk", Sabotage::Junk, T::Data, false, true},
        {"vanish", Sabotage::Vanish, T::Data, false, false},
        {"slow", Sabotage::Silent, T::Data, true, false},
        {"disk-full", Sabotage::None, T::DiskFull, false, true},
        {"file-exists", Sabotage::None, T::FileExists, false, true},
    };
    return faults;
}

const NamedFault& FaultNamed(const std::string& name) {
    return ByName(AllFaults(), name);
}

void ArmFault(World& world, const NamedFault& fault, Op op) {
    constexpr int kNever = 1000;
    // The second picture's message of each kind, counted from the operation's start.
    LineFault line{fault.what, Aim::Photo, 2, fault.always};
    switch (fault.target) {
    case NamedFault::Data:
        line.aim = op == Op::Open ? Aim::Info : op == Op::F8 ? Aim::GetRegister : Aim::Photo;
        line.nth = op == Op::F8 ? 1 : 2;
        break;
    case NamedFault::Select:
        line.aim = Aim::Select;
        line.nth = op == Op::F8 ? 1 : 2;
        break;
    case NamedFault::Request:
        line.aim = op == Op::Open ? Aim::Info : Aim::Photo;
        line.nth = op == Op::F8 ? kNever : 2;
        break;
    case NamedFault::Delete:
        line.aim = Aim::Delete;
        line.nth = op == Op::F6 || op == Op::F8 ? 2 : kNever;
        break;
    case NamedFault::DiskFull:
        // Three writes a picture: the second picture's first.
        world.files->FailWrite(world.files->Calls(FileOp::Write) + 4);
        return;
    case NamedFault::FileExists:
        world.Seed(std::string(kDated) + "\\pic17.05.2002_001.jpg", "an older photo 1");
        world.Seed(std::string(kDated) + "\\pic17.05.2002_002.jpg", "an older photo 2");
        world.Seed(std::string(kHostDir) + "\\pic17.05.2002_002.jpg", "an older photo 2");
        return;
    }
    world.line.Arm(line);
}

int RunOp(HostUser& world, Op op) {
    switch (op) {
    case Op::Open:
        return world.Open() ? 1 : 0;
    case Op::F5:
        return world.CopyKey(false);
    case Op::F6:
        return world.CopyKey(true);
    case Op::F8:
        return world.DeleteKey();
    case Op::HostCopy:
        return world.HostCopy();
    }
    return 0;
}

template <class W>
void CheckInvariants(W& world, const typename W::PictureList& before, Op op, bool lineWorks,
                     size_t from, int screens, std::vector<std::string>& broken) {
    auto check = [&broken](bool ok, const char* what) {
        if (!ok) {
            broken.emplace_back(what);
        }
    };
    check(world.SeedsIntact(), "an existing file was overwritten");
    if (op != Op::F8) {
        check(world.NothingLost(before), "a picture left the camera without a complete copy");
        check(world.PartialFiles(before) == 0, "an incomplete file stayed under a picture's name");
    }
    // After a time-out or a garbled answer nothing more is sent: the line is
    // taken for broken, and only the next operation's handshake can tell.
    const bool brokenSeen = (world.ReportedFlags(from) & portflag::kBrokenLineMask) != 0;
    if (lineWorks && !brokenSeen) {
        check(world.AtDefaultSpeed(), "the camera was not handed back at 19200 bit/s");
    }
    for (const std::string& what : world.LeftOpen()) {
        broken.push_back(what);
    }
    check(world.host.Kit().badRestores == 0, "a screen was restored twice");
    check(world.TimingBalanced(), "a pause outside an operation, or an operation never ended");
    const int opened = op == Op::Open && world.IsOpen() ? 1 : 0;
    check(world.host.Kit().OpenScreens() == screens + opened, "a saved screen was left behind");
    check(openPanelCount == (world.IsOpen() ? 1 : 0), "the open-panel count is wrong");
}

namespace {

template <class W>
std::string Describe(W& world, Op op, int result, size_t from,
                     const typename W::PictureList& before) {
    std::string text;
    for (const std::string& r : world.Reports(from)) {
        text += (text.empty() ? "Errors " : ", ") + r;
    }
    if (text.empty()) {
        text = "ok";
    }
    if (op == Op::Open) {
        return text + (result == 1 ? "; opened" : "; not opened");
    }
    char tail[96];
    std::snprintf(tail, sizeof tail, "; copied %zu, partial %zu, deleted %zu%s%s",
                  world.CompleteFiles(before), world.PartialFiles(before),
                  before.size() - world.Pictures().size(), world.IsOpen() ? "" : ", closed",
                  op == Op::HostCopy ? (result == 1 ? ", result 1" : ", result 0") : "");
    return text + tail;
}

} // namespace

template <class W> void CheckRecovery(W& world, std::vector<std::string>& broken) {
    // The fault is gone: the panel works again, and after closing, so do the
    // configuration and the next opening.
    world.Heal();
    // A deletion whose answer was lost closes the panel, which may list a
    // picture the camera no longer has; only opening again shows the truth.
    const bool diverged =
        world.IsOpen() && world.panel->camera->PictureCount() != world.Pictures().size();
    if (world.IsOpen() && !diverged) {
        if (world.ConfigureOk() != 0) {
            broken.emplace_back("configuration ran while the panel was open");
        }
        const typename W::PictureList left = world.Pictures();
        const size_t complete = world.CompleteFiles(left);
        const size_t mark = world.host.Messages().size();
        world.CopyKey(false);
        if (!world.Reports(mark).empty() || world.CompleteFiles(left) != complete + left.size()) {
            broken.emplace_back("the copy after the fault failed");
        }
        if (!world.AtDefaultSpeed()) {
            broken.emplace_back("the copy after the fault left the camera at high speed");
        }
    }
    world.Close();
    if (world.ConfigureOk() != 1) {
        broken.emplace_back("configuration after the fault failed");
    }
    world.Refill(2);
    if (!world.Open()) {
        broken.emplace_back("the panel did not open again after the fault");
    }
    if (!world.AtDefaultSpeed()) {
        broken.emplace_back("opening again left the camera at high speed");
    }
    world.Close();
}

template <class W, class F> CellResult RunCellIn(W& world, const F& fault, Op op) {
    CellResult cell;
    world.Seed(W::Join(world.PhotosDir(), "keep.jpg"), "the user's own file");
    world.Seed(W::Join(world.HostDir(), "keep.jpg"), "another file of the user");
    if (op != Op::Open && !world.Open()) {
        cell.broken.emplace_back("the panel did not open without a fault");
        return cell;
    }
    const typename W::PictureList before = world.Pictures();
    const size_t from = world.host.Messages().size();
    const int screens = world.host.Kit().OpenScreens();
    ArmFault(world, fault, op);
    const int result = RunOp(world, op);
    CheckInvariants(world, before, op, fault.lineWorks, from, screens, cell.broken);
    cell.outcome = Describe(world, op, result, from, before);
    CheckRecovery(world, cell.broken);
    return cell;
}

CellResult RunCell(const NamedFault& fault, Op op) {
    World world;
    return RunCellIn(world, fault, op);
}

template void CheckInvariants(World&, const World::PictureList&, Op, bool, size_t, int,
                              std::vector<std::string>&);
template void CheckInvariants(EmulatorWorld&, const EmulatorWorld::PictureList&, Op, bool, size_t,
                              int, std::vector<std::string>&);
template void CheckRecovery(World&, std::vector<std::string>&);
template void CheckRecovery(EmulatorWorld&, std::vector<std::string>&);
template CellResult RunCellIn(EmulatorWorld&, const EmulatorFault&, Op);

} // namespace pixlor::reliability
