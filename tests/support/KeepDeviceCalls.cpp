// Every test program starts with the devices' call logs kept: most device
// tests read back what reached the device.
#include "platform/D3D9Recording.h"

namespace {

const bool kCallsKept = [] {
    plat::KeepDeviceCalls(true);
    return true;
}();

} // namespace
