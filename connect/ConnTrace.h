// The SEND and RECEIVE trace lines of the connection. Internal.
#pragma once
#include <cstdint>

class CToviProto;

// Before the last frame of a request goes out (nothing for A0, B4 and B5).
void TraceSend(CToviProto* owner, uint16_t command);
// After a reply parsed without error (nothing for A0, B4 and B5).
void TraceReceive(uint16_t command);
