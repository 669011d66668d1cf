// Hex text and the byte generators named in the vector file.
#pragma once
#include "OracleCrypto.h"

namespace oracle {

// Lower-case hex; "-" stands for no bytes so that every field of a line is non-empty.
std::string ToHex(const Bytes& data);
std::string ToHexUpper(const Bytes& data);
bool FromHex(const std::string& text, Bytes* out);

// Input specs:
//   gen:SEED:LEN  LEN bytes of xorshift32 (x ^= x << 13; x ^= x >> 17; x ^= x << 5), starting
//                 from the 32-bit SEED (not 0), each byte the low 8 bits of x after one step
//   txt:SEED:LEN  printable ASCII from the same generator: 0x20 + x % 95
//   rep:BB:LEN    LEN bytes of value 0xBB
//   hex:HEX       the given bytes ("hex:" alone is empty)
bool Expand(const std::string& desc, Bytes* out);
std::string GenSpec(uint32_t seed, size_t len);
std::string TxtSpec(uint32_t seed, size_t len);

}
