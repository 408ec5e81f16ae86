// The fuzz targets install every service they use; any other use of the
// system would be a harness fault and crashes on the null service.
#include "platform/Platform.h"

namespace pixlor {

const Platform& SystemPlatform() {
    static const Platform none{};
    return none;
}

} // namespace pixlor
