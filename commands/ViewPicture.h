// F3 on a picture: the panel's items exist only in the camera, so the picture
// is copied into a fresh temporary folder (the host's copy rule: progress, Esc,
// the report) and shown in the host's viewer, which removes the copy and its
// folder when it closes. Folders and ".." are left to the host.
#pragma once

#include "plugin/CameraPanel.h"

namespace pixlor {

// 1 when the current item is a picture (shown, or its failure reported), 0
// for the host to handle the key.
int ViewCurrentPicture(CameraPanel& panel);

} // namespace pixlor
