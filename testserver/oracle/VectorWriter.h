// Writes the vector file that the Windows CryptoOracleTest checks the client against.
#pragma once
#include <string>

namespace oracle {

// Writes every case to path (creating its folder); false when a computation or the write fails.
bool WriteVectorFile(const std::string& path);

}
