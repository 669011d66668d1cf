// The update program's caption blue, top to bottom: its dialogs' caption band and the bar of its
// progress control. Not the client's caption palette: the two programs draw on their own.
#pragma once
#include <windows.h>

namespace toolkit {

const COLORREF kCaptionTop = RGB(0x7B, 0xA2, 0xD0);
const COLORREF kCaptionBottom = RGB(0x41, 0x76, 0xB6);

}
