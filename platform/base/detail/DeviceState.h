// Internal: what the device root shares with the rest of the platform base.
#pragma once

namespace ce::detail {

// True between OpenDeviceRoot and CloseDeviceRoot.
bool DeviceRootIsOpen();

}  // namespace ce::detail
