// What follows a failed camera operation, for every operation alike: the
// report of the camera's codes, then the camera handed back at 19200 bit/s,
// whose own failure is reported the same way.
#pragma once

#include <functional>

#include "camera/Camera.h"
#include "camera/CameraCodes.h"

namespace pixlor {

using ErrorReport = std::function<void(const CameraCodes&)>;

void ReportAndRecover(Camera& camera, const ErrorReport& report);
// A camera still connected (a failed or aborted last file leaves it at the
// high speed) is handed back; a failure is reported.
void HandBack(Camera& camera, const ErrorReport& report);

} // namespace pixlor
