// Wide and 8-bit strings.
#include "Strings.h"
