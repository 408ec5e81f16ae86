#include "transfer/NamingSettings.h"

#include "settings/Settings.h"

namespace pixlor {

NamingSettings NamingSettings::Read() {
    NamingSettings s;
    ReadSetting(settings::kPhotoPrefix, s.photoPrefix, kNameBufferSize);
    ReadSetting(settings::kThumbPrefix, s.thumbPrefix, kNameBufferSize);
    ReadSetting(settings::kPhotoPath, s.photoPath, kNameBufferSize);
    ReadSetting(settings::kThumbPath, s.thumbPath, kNameBufferSize);
    s.photoDigits = ReadSetting(settings::kPhotoSuffix);
    s.thumbDigits = ReadSetting(settings::kThumbSuffix);
    return s;
}

} // namespace pixlor
