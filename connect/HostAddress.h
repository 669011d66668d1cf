// Telling a dotted IPv4 address from a host name. Internal; no Windows header.
#pragma once

namespace wire {

// True for exactly four decimal numbers 0-255 joined by dots ("10.0.0.1"); anything else,
// also a name that starts with a digit ("1drive.example"), is resolved by name.
bool IsDottedIPv4(const char* host);

}
