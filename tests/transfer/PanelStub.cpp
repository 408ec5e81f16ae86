// Until the panel's own construction is on main: the same construction with
// the default port and speed, for the transfer tests only.
#include "plugin/CameraPanel.h"

namespace pixlor {

CameraPanel::CameraPanel() : camera(std::make_unique<Camera>(1, 5)) {}
CameraPanel::~CameraPanel() = default;

} // namespace pixlor
