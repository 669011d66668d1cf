// ToviInterface.dll entry.
#include <windows.h>
