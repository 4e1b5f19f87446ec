#include "wzc_build_class.h"

namespace {

// Exact product versions first, in this order; only then the XP SP2 threshold.
const uint32_t kClassVersions[] = {
    0x08931792, // 2195.6034: class 0
    0x089319CC, // 2195.6604: class 1
    0x0A280000, // 2600.0: class 2
    0x0A280452, // 2600.1106: class 3
    0x0A28049D, // 2600.1181: class 4
    0x0A2804FC, // 2600.1276: class 5
};
const uint32_t kXpSp2Threshold = 0x0A280884; // 2600.2180

} // namespace

int32_t WzcBuildClass(uint32_t productVersionLS)
{
    for (int32_t i = 0; i < (int32_t)(sizeof(kClassVersions) / sizeof(kClassVersions[0])); ++i)
        if (kClassVersions[i] == productVersionLS)
            return i;
    return productVersionLS >= kXpSp2Threshold ? WZC_BUILD_CLASS_XP_SP2 : WZC_BUILD_REFUSED;
}
