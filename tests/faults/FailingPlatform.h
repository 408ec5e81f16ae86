// Wraps the platform in force when it is made (fakes or the system's own
// backends) in the failing seams, and puts the wrappers in force for its
// lifetime. The plan is the test's and must outlive every port opened while
// the wrappers stood (close the panel first).
//
//     FaultPlan plan;
//     FailingPlatform failing(plan);                 // over whatever is in force
//     plan.Arm(FaultKind::FileWrite, 2, FaultMode::Once, syserr::kDiskFull);
#pragma once

#include "faults/FailingConsole.h"
#include "faults/FailingFiles.h"
#include "faults/FailingRegistry.h"
#include "faults/FailingSerial.h"
#include "platform/Platform.h"

namespace pixlor::faults {

class FailingPlatform {
public:
    explicit FailingPlatform(FaultPlan& plan, const Platform& inner = CurrentPlatform())
        : serial_(plan, *inner.serial), files_(plan, *inner.files),
          registry_(plan, *inner.registry), console_(plan, *inner.console),
          scope_(Platform{
              .serial = &serial_, .files = &files_, .registry = &registry_, .console = &console_}) {
    }
    FailingPlatform(const FailingPlatform&) = delete;
    FailingPlatform& operator=(const FailingPlatform&) = delete;

private:
    FailingSerialFactory serial_;
    FailingFileSystem files_;
    FailingRegistry registry_;
    FailingConsole console_;
    ScopedPlatform scope_;
};

} // namespace pixlor::faults
