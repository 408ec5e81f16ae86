// The camera's code of the current or last failed operation, shown in the
// "Errors" report. Codes 17 to 19 are set by the transfer operations.
#pragma once

#include <cstdint>

namespace pixlor::linkstatus {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kPictureCount = 1;
inline constexpr int32_t kSelect = 2;
inline constexpr int32_t kPictureInfo = 3;
inline constexpr int32_t kPhotoDownload = 4;
inline constexpr int32_t kThumbnailDownload = 5;
inline constexpr int32_t kDisconnect = 6;
inline constexpr int32_t kDelete = 7;
inline constexpr int32_t kPhotoFile = 9; // creating or writing the photo's file
inline constexpr int32_t kPhotoRange = 10;
inline constexpr int32_t kPhotoCancelled = 11;
inline constexpr int32_t kThumbnailFile = 12; // creating or writing the thumbnail's file
inline constexpr int32_t kThumbnailRange = 13;
inline constexpr int32_t kThumbnailCancelled = 14;
inline constexpr int32_t kInfoRange = 15;
inline constexpr int32_t kSelectRange = 16;
inline constexpr int32_t kFolderCreate = 17;  // transfer: target folder cannot be created
inline constexpr int32_t kFolderMissing = 18; // transfer: target folder cannot be listed
inline constexpr int32_t kFolderListing = 19; // transfer: the listing ended with an error
inline constexpr int32_t kDeleteTimeouts = 20;
// Set by the configuration dialog: the registry refused to give or keep a setting.
inline constexpr int32_t kSettings = 21;

} // namespace pixlor::linkstatus
