// The host's services as the plugin keeps them: copies of the records that
// SetStartupInfo received (the host's own records are temporary), and the
// message lookup every text goes through.
#pragma once

#include "host/FarApi.h"

namespace pixlor {

// Zero until SetStartupInfo; afterwards hostInfo.FSF points at hostFunctions.
extern PluginStartupInfo hostInfo;
extern FarStandardFunctions hostFunctions;

// Copies the host's record and its standard-function table. A shorter record
// (older host) is copied as far as it goes and the rest stays zero.
void KeepHostRecords(const PluginStartupInfo& info);

// Forgets the host (the records are zeroed again); for tests and unloading.
void ForgetHostRecords();

// The text of a message of the plugin's language file; "" before start-up.
const char* MessageText(int number);

} // namespace pixlor
