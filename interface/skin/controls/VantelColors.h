// What the skinned edit and static controls share: their colours for WM_CTLCOLOR and the
// repaint of the parent's area under them (their backgrounds come from the parent).
#pragma once
#include "Gdi.h"
#include <windows.h>

class CDC;

namespace vantel {

// The "no background" colour value of the controls' m_clrBack.
const COLORREF kTransparentBack = 1;

// Sets the text colour and the background (transparent for kTransparentBack, else back) on dc
// and returns the brush to paint with; keep holds the solid brush until the next call.
HBRUSH ControlColors(CDC* dc, CBrush& keep, COLORREF back, COLORREF text);

// Invalidates the parent's area under control, deflated by inset pixels on each side, and
// repaints it now.
void RepaintUnder(HWND control, int inset, bool erase);

}
