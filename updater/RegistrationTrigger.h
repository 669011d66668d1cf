// IRegistrationTrigger, which the MinGW-w64 taskschd.h leaves out: the client's declaration.
#pragma once
#include "../interface/services/RegistrationTrigger.h"
