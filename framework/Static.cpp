// Static text, icon and bitmap controls.
#include "Static.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
