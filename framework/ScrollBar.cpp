// CScrollBar: a scroll-bar control.
#include "ScrollBar.h"

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
