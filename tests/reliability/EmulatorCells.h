// The faults of the fault matrix in the emulator's own terms, aimed at the
// second of two pictures or at the command that matches the operation.
#pragma once

#include <string>
#include <vector>

#include "reliability/Cells.h"
#include "reliability/EmulatorWorld.h"

namespace pixlor::reliability {

struct EmulatorFault {
    const char* name;
    // The emulator's fault kind with its argument, if any ("checksum-always",
    // "nak:1000", "byte:0x42"); empty for the faults of the disk.
    const char* kind;
    enum Target { Data, Select, Request, Delete, Slow, FileExists } target;
    bool lineWorks; // the line still carries commands while the fault lasts
};
const std::vector<EmulatorFault>& AllEmulatorFaults();
const EmulatorFault& EmulatorFaultNamed(const std::string& name);

// The emulator's fault text for `op` (empty when the operation never meets it).
std::string FaultText(const EmulatorWorld& world, const EmulatorFault& fault, Op op);
// Arms `fault` at the operation's second picture.
void ArmFault(EmulatorWorld& world, const EmulatorFault& fault, Op op);

} // namespace pixlor::reliability
