// The configuration dialog the host runs through the Configure export: port,
// line speed, the four name templates and the two digit counts, checked
// before they are stored.
#pragma once

namespace pixlor {

// Returns 1 when the settings were stored, 0 when nothing was (a panel is
// open, cancel, Esc). The host's item number is not looked at.
int Configure(int itemNumber);

} // namespace pixlor
