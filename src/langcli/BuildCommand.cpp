// BuildCommand: `velmor build` (filled in below).
#include "langcli/Commands.h"

void AddBuildCommand(CLI::App& app) { (void)app; }
