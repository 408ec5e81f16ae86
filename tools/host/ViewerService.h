// The host's Viewer as the test host plays it: it notes what the file held when
// the viewer opened it; the user leaves at once, and with VF_DELETEONCLOSE the
// closing removes the file and then its folder when that is empty, as the file
// manager does.
#pragma once

#include <string>

#include "tools/hostkit/HostKit.h"

namespace pixlor::host {

// Fills the call's file fields, closes the viewer and returns the transcript
// line (paths as the plugin gave them). The answer is 1, or 0 without a file.
std::string ViewAndClose(hostkit::ViewerCall& call);

} // namespace pixlor::host
