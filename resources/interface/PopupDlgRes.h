// Resource ids of the web pop-up (template 1032); its caption buttons are the skinned
// dialogs' system buttons of SkinRes.h.
#pragma once
#include "SkinRes.h"

#define IDD_POPUP_DLG                   1032
