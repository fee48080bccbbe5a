// Internal: the device root tells the registry when its hive must be closed.
#pragma once

namespace ce::detail {

// Closes the open hive database of this process (opened again on next use).
void CloseRegistryHive();

}  // namespace ce::detail
