// The skinned windows' caption palette (the blue caption band, the two lines under it, the body
// and the grey footer band) and the two fills that paint such bands.
#pragma once
#include <windows.h>

namespace vantel {

const COLORREF kCaptionTop = RGB(0x7B, 0xA2, 0xD0);
const COLORREF kCaptionBottom = RGB(0x41, 0x76, 0xB6);
const COLORREF kCaptionTopInactive = RGB(0xAF, 0xC7, 0xE2);
const COLORREF kCaptionBottomInactive = RGB(0x66, 0x92, 0xC8);
// The two lines under the caption band, upper first.
const COLORREF kCaptionLine1 = RGB(0x38, 0x64, 0x9A);
const COLORREF kCaptionLine2 = RGB(0x2E, 0x51, 0x7C);
const COLORREF kCaptionLine1Inactive = RGB(0x69, 0x95, 0xC9);
const COLORREF kCaptionLine2Inactive = RGB(0x5F, 0x8C, 0xC5);
// The light row along the top of a self-painted frame.
const COLORREF kCaptionHighlight = RGB(0xAC, 0xC5, 0xE1);
const COLORREF kBody = RGB(0xF8, 0xF8, 0xF8);
// The line between the body and the footer band.
const COLORREF kBodyLine = RGB(0xDD, 0xDD, 0xDD);
const COLORREF kFooterTop = RGB(0xEE, 0xEE, 0xEE);
const COLORREF kFooterBottom = RGB(0xE3, 0xE3, 0xE5);

// Fills l..r x t..b with one colour; an empty or inverted span paints nothing.
void FillBand(HDC dc, int l, int t, int r, int b, COLORREF colour);
// Fills l..r x t..b from top to bottom colour; an empty or inverted span paints nothing.
void FillGradientBand(HDC dc, int l, int t, int r, int b, COLORREF top, COLORREF bottom);

}
