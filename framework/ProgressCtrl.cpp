// Progress bars, with a range, a position and an optional marquee.
#include "ProgressCtrl.h"

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
