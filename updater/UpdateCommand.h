// The update program's command line: "0", "1" or "2" (product index), optionally followed by
// "RunAsStdUser"; or "service:install" / "service:uninstall".
#pragma once
#include "Strings.h"

struct UpdateCommand {
    enum Kind { kUpdate, kRunAsStdUser, kServiceInstall, kServiceRemove, kQuit };
    Kind kind = kUpdate;
    int index = 0;
};

// An empty line is an update of product 0. A product index outside 0..2 or an unknown service
// word gives kQuit. "RunAsStdUser" (exactly) as the second word gives kRunAsStdUser; the caller
// falls back to an update when the product has no install folder.
UpdateCommand ParseUpdateCommand(const wchar_t* commandLine);
