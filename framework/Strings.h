// Wide and 8-bit strings.
#pragma once
#include "FrameworkApi.h"
