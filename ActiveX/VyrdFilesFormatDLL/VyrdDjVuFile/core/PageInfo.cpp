#include "PageInfo.h"

namespace vyrd {

// INFO data: width (2, big-endian), height (2, big-endian), minor version (1),
// major version (1, 0xFF = absent), dpi (2, little-endian, low byte 0xFF =
// absent), gamma x 10 (1), flags (1: bits 0-2 orientation, bit 7 high flag).
// Each field is read only when the chunk is long enough to hold it.
RefPtr<CPageInfo> CPageInfo::Parse(const CByteRange& data) {
    RefPtr<CPageInfo> info = RefPtr<CPageInfo>::Adopt(new CPageInfo());
    const uint32_t n = data.IsValid() ? data.Length() : 0;
    if (n < 5) {
        return info;
    }
    const uint8_t* p = data.Data();
    info->width = (p[0] << 8) | p[1];
    info->height = (p[2] << 8) | p[3];
    info->version = p[4];
    if (n >= 6 && p[5] != 0xFF) {
        info->version = p[4] + 256 * p[5];
    }
    if (n >= 8 && p[6] != 0xFF) {
        info->dpi = p[6] + 256 * p[7];
    }
    if (n >= 9) {
        info->gamma = p[8] * 0.1;
    }
    const uint8_t flags = n >= 10 ? p[9] : 0;

    if (info->gamma < 0.3) {
        info->gamma = 0.3;
    } else if (info->gamma > 5.0) {
        info->gamma = 5.0;
    }
    if (info->dpi < 25 || info->dpi > 6000) {
        info->dpi = kDefaultDpi;
    }
    info->highFlag = (flags & 0x80) != 0;
    // Older encoders left the flags byte undefined; it carries the orientation
    // only from version 22 on.
    if (info->version >= 22) {
        info->orientation = flags & 7;
    }
    return info;
}

}  // namespace vyrd
