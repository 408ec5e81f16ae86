#include "host/OpenPanels.h"

namespace pixlor {

int8_t openPanelCount = 0;

} // namespace pixlor
