// Telling a dotted IPv4 address from a host name.
#include "HostAddress.h"

namespace wire {

bool IsDottedIPv4(const char* host)
{
    if (!host)
        return false;
    int parts = 0;
    const char* p = host;
    for (;;) {
        int digits = 0;
        int value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + (*p - '0');
            if (++digits > 3)
                return false;
            ++p;
        }
        if (digits == 0 || value > 255)
            return false;
        ++parts;
        if (*p == '\0')
            return parts == 4;
        if (*p != '.' || parts == 4)
            return false;
        ++p;
    }
}

}
