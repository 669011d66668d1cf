// Resource ids of the resource-only library that ControlsUiTest registers; the program itself
// has none of them.
#pragma once
#define IDR_CONTROLS_TEST_MENU 2001
#define IDB_CONTROLS_TEST_STRIP 2002 // 32x16: a red image, then blue with a magenta right half
#define ID_CONTROLS_TEST_OPEN 9001
