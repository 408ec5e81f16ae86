#include "transfer/PictureTime.h"

#include <algorithm>

#include "camera/UtcDate.h"

namespace pixlor {
namespace {

constexpr uint32_t kFirstYear = 1980;
constexpr uint32_t kLastYear = 2107; // seven bits of years
constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kSeconds1601To1970 = 11644473600;

bool IsLeap(uint32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(uint32_t year, unsigned month) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

} // namespace

DosDateTime DosFromRecord(const PictureRecord& record) {
    uint32_t year = record.year;
    unsigned month = record.month, day = record.day;
    unsigned hour = record.hour, minute = record.minute, second = record.second;
    if (year < kFirstYear) {
        year = kFirstYear;
        month = day = 1;
        hour = minute = second = 0;
    } else if (year > kLastYear) {
        year = kLastYear;
        month = 12;
        day = 31;
        hour = 23;
        minute = 59;
        second = 58;
    }
    month = std::clamp(month, 1u, 12u);
    day = std::clamp(day, 1u, DaysInMonth(year, month));
    hour = std::min(hour, 23u);
    minute = std::min(minute, 59u);
    second = std::min(second, 59u);
    return DosDateTime{
        static_cast<uint16_t>(((year - kFirstYear) << 9) | (month << 5) | day),
        static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2)),
    };
}

bool DosToFileTime(const DosDateTime& dos, FileTime& out) {
    const uint32_t year = kFirstYear + (dos.date >> 9);
    const unsigned month = (dos.date >> 5) & 0x0F, day = dos.date & 0x1F;
    const unsigned hour = dos.time >> 11, minute = (dos.time >> 5) & 0x3F;
    const unsigned second = (dos.time & 0x1F) * 2;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59) {
        return false;
    }
    const UtcDate date{year,
                       static_cast<uint8_t>(month),
                       static_cast<uint8_t>(day),
                       static_cast<uint8_t>(hour),
                       static_cast<uint8_t>(minute),
                       static_cast<uint8_t>(second)};
    out = FileTime::FromTicks((UtcSeconds(date) + kSeconds1601To1970) * kTicksPerSecond);
    return true;
}

bool FileTimeToDos(const FileTime& time, DosDateTime& out) {
    const uint64_t seconds = time.Ticks() / kTicksPerSecond;
    if (seconds < kSeconds1601To1970) {
        return false;
    }
    const UtcDate date = BreakDownUtc(seconds - kSeconds1601To1970);
    if (date.year < kFirstYear || date.year > kLastYear) {
        return false;
    }
    out = DosDateTime{
        static_cast<uint16_t>(((date.year - kFirstYear) << 9) | (date.month << 5) | date.day),
        static_cast<uint16_t>((date.hour << 11) | (date.minute << 5) | (date.second / 2)),
    };
    return true;
}

FileTime PictureFileTime(const PictureRecord& record) {
    FileTime time;
    DosToFileTime(DosFromRecord(record), time); // a clamped date is always valid
    return time;
}

} // namespace pixlor
