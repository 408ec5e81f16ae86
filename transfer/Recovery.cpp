#include "transfer/Recovery.h"

namespace pixlor {

void ReportAndRecover(Camera& camera, const ErrorReport& report) {
    report(camera.Codes());
    if (!camera.Disconnect()) {
        report(camera.Codes());
    }
}

void HandBack(Camera& camera, const ErrorReport& report) {
    if (camera.Connected() && !camera.Disconnect()) {
        report(camera.Codes());
    }
}

} // namespace pixlor
