// The synchronisation classes in one include.
#pragma once
#include "CriticalSection.h"
#include "Event.h"
#include "Mutex.h"
#include "SingleLock.h"
