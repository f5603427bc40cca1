#include "platform/driver_noise.h"

// Windows' audio drivers (WASAPI, DirectSound) are system services that print nothing, so
// there is nothing to hide.
DriverOutputHidden::DriverOutputHidden() = default;
DriverOutputHidden::~DriverOutputHidden() = default;
