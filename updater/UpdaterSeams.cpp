// The process's platform hooks of the update program.
#include "UpdaterSeams.h"

UpdaterSeams& Seams()
{
    static UpdaterSeams seams;
    return seams;
}
