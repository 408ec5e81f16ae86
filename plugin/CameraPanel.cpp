#include "plugin/CameraPanel.h"

#include <algorithm>

#include "settings/Settings.h"

namespace pixlor {
namespace {

// The speed table ends at index 5; a larger stored index is taken as the
// fastest, as the configuration dialog shows it.
constexpr uint32_t kFastestSpeedIndex = 5;

// A stored port beyond 255 must not wrap round to a real port: it stays a port
// that no system has, and the open fails with the camera's report.
uint8_t PortIndexFrom(uint32_t stored) {
    return static_cast<uint8_t>(std::min<uint32_t>(stored, 255));
}

} // namespace

CameraPanel::CameraPanel() {
    const uint32_t port = ReadSetting(settings::kSerialPort);
    const uint32_t speed = ReadSetting(settings::kBaudRate);
    camera = std::make_unique<Camera>(PortIndexFrom(port), std::min(speed, kFastestSpeedIndex));
}

CameraPanel::~CameraPanel() = default;

} // namespace pixlor
