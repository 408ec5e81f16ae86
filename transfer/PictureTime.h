// The time stamp of a copied picture: its date and time from the camera's
// record, put through the MS-DOS date/time encoding (two-second steps, years
// 1980 to 2107) and turned into a FILETIME without any time-zone shift.
#pragma once

#include <cstdint>

#include "camera/PictureTable.h"
#include "platform/FileTime.h"

namespace pixlor {

struct DosDateTime {
    uint16_t date = 0; // ((year - 1980) << 9) | (month << 5) | day
    uint16_t time = 0; // (hour << 11) | (minute << 5) | (second / 2)
    friend bool operator==(const DosDateTime&, const DosDateTime&) = default;
};

// The record's date in MS-DOS form. A date the encoding cannot hold becomes the
// nearest one it can: 1980-01-01 00:00:00 before 1980, 2107-12-31 23:59:58 after
// 2107; a field out of its range (a record not read yet) is moved into it.
DosDateTime DosFromRecord(const PictureRecord& record);

// DosDateTimeToFileTime: false, leaving `out` alone, for fields that name no time.
bool DosToFileTime(const DosDateTime& dos, FileTime& out);

// FileTimeToDosDateTime: false outside 1980 to 2107.
bool FileTimeToDos(const FileTime& time, DosDateTime& out);

// The FILETIME a file copied from this picture gets; always a valid time.
FileTime PictureFileTime(const PictureRecord& record);

} // namespace pixlor
