// The band fills of the caption palette.
#include "CaptionPalette.h"
#include "Dc.h"

namespace vantel {

void FillBand(HDC dc, int l, int t, int r, int b, COLORREF colour)
{
    if (r > l && b > t)
        CDC::FromHandle(dc)->FillSolidRect(l, t, r - l, b - t, colour);
}

void FillGradientBand(HDC dc, int l, int t, int r, int b, COLORREF top, COLORREF bottom)
{
    if (r > l && b > t) {
        const RECT rc = {l, t, r, b};
        CDC::FromHandle(dc)->FillGradientRect(&rc, top, bottom, true);
    }
}

}
