// SharedNames: storage of the composers' shared-variable name tables.
#include "redundant_controller_flash/SharedNames.h"

namespace {
char kFlashCorrupted[] = "flash_corrupted";
char kDevicesAvailable[] = "devices_available";
}  // namespace

char* redundant_controller_flash_modelRJ__SharedNames[1] = {kFlashCorrupted};
char* redundant_controller_flash_modelRJ__flash_rep__SharedNames[2] = {kDevicesAvailable,
                                                                       kFlashCorrupted};
