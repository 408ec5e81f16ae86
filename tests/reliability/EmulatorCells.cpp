#include "reliability/EmulatorCells.h"

#include <cstring>
#include <stdexcept>

namespace pixlor::reliability {
namespace {

bool IsPacketFault(const char* kind) {
    for (const char* k : {"checksum", "checksum-always", "cut", "vanish"}) {
        if (std::strcmp(kind, k) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

const std::vector<EmulatorFault>& AllEmulatorFaults() {
    using T = EmulatorFault;
    // A camera slower than the time-out: 4 s is longer than the three probes of a
    // handshake, so no late answer is taken for the answer to a later command.
    static const std::vector<EmulatorFault> faults = {
        {"checksum-once", "checksum", T::Data, true},
        {"checksum-always", "checksum-always", T::Data, true},
        {"cut", "cut", T::Data, true},
        {"silence", "silent", T::Data, true},
        {"nak-once", "nak", T::Data, true},
        {"nak-storm", "nak:1000", T::Data, true},
        {"refuse-select", "refuse", T::Select, true},
        {"refuse-request", "refuse", T::Request, true},
        {"refuse-delete", "refuse", T::Delete, true},
        {"junk", "byte:0x42", T::Data, true},
        {"vanish", "vanish", T::Data, false},
        {"slow", "slow:4000", T::Slow, false},
        {"file-exists", "", T::FileExists, true},
    };
    return faults;
}

const EmulatorFault& EmulatorFaultNamed(const std::string& name) {
    return ByName(AllEmulatorFaults(), name);
}

std::string FaultText(const EmulatorWorld& world, const EmulatorFault& fault, Op op) {
    const std::string kind = fault.kind;
    const bool copying = op == Op::F5 || op == Op::F6 || op == Op::HostCopy;
    switch (fault.target) {
    case EmulatorFault::Data:
        // Opening reads two information records, F8 only the check read of
        // register 1, the copies the pictures' data.
        if (IsPacketFault(fault.kind)) {
            return op == Op::Open ? kind + ":2@info"
                   : op == Op::F8 ? kind + ":1@get"
                                  : kind + ":" + std::to_string(world.PacketsOf(0) + 1) + "@photo";
        }
        return kind + (op == Op::Open ? "@info#2" : op == Op::F8 ? "@get" : "@photo#2");
    case EmulatorFault::Select:
        return kind + (op == Op::F8 ? "@select" : "@select#2");
    case EmulatorFault::Request:
        return op == Op::Open ? kind + "@info#2" : copying ? kind + "@photo#2" : "";
    case EmulatorFault::Delete:
        return op == Op::F6 || op == Op::F8 ? kind + "@delete#2" : "";
    case EmulatorFault::Slow:
        return kind;
    case EmulatorFault::FileExists:
        return "";
    }
    return "";
}

void ArmFault(EmulatorWorld& world, const EmulatorFault& fault, Op op) {
    if (fault.target == EmulatorFault::FileExists) {
        const std::string dated = world.DatedDir();
        world.Seed(EmulatorWorld::Join(dated, "pic17.05.2002_001.jpg"), "an older photo 1");
        world.Seed(EmulatorWorld::Join(dated, "pic17.05.2002_002.jpg"), "an older photo 2");
        world.Seed(EmulatorWorld::Join(world.HostDir(), "pic17.05.2002_002.jpg"),
                   "an older photo 2");
        return;
    }
    const std::string text = FaultText(world, fault, op);
    if (!text.empty() && !world.sim->AddFault(text)) {
        throw std::invalid_argument(text);
    }
}

} // namespace pixlor::reliability
