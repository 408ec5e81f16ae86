// The camera's picture list: the record at position p (from 0) describes the
// camera's picture number p + 1. Deleting a record moves the later ones down.
#pragma once

#include <cstdint>
#include <vector>

#include "camera/PictureKind.h"

namespace pixlor {

struct PictureRecord {
    bool infoLoaded = false;
    uint32_t photoSize = 0;
    uint32_t thumbnailSize = 0;
    uint8_t day = 0;
    uint8_t month = 0;
    uint32_t year = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
};

// The size of the picture's photo or thumbnail.
constexpr uint32_t SizeOf(const PictureRecord& record, PictureKind kind) {
    return kind == PictureKind::Photo ? record.photoSize : record.thumbnailSize;
}

class PictureTable {
public:
    // A table of `count` records whose fields are all zero.
    void Build(uint32_t count) { records_.assign(count, PictureRecord{}); }
    uint32_t Size() const { return static_cast<uint32_t>(records_.size()); }
    // The record at `position`, or null at or beyond the end.
    PictureRecord* RecordAt(uint32_t position) {
        return position < records_.size() ? &records_[position] : nullptr;
    }
    const PictureRecord* RecordAt(uint32_t position) const {
        return position < records_.size() ? &records_[position] : nullptr;
    }
    // Removes the record at `position`; false when there is none.
    bool Remove(uint32_t position) {
        if (position >= records_.size()) {
            return false;
        }
        records_.erase(records_.begin() + position);
        return true;
    }
    void Clear() { records_.clear(); }

private:
    std::vector<PictureRecord> records_;
};

} // namespace pixlor
