// CToviColorRef: the skin's default colour set.
#include "ToviColorRef.h"

namespace {
const COLORREF kDefaults[CToviColorRef::kCount] = {
    0x000000, 0x828282, 0x6E6E6E, 0x2C2C2C, 0x939393, 0x666666, 0x2C2C2C,
    0x696969, 0x000000, 0x828282, 0x646464, 0x5A5A5A, 0x705B3A, 0xF6A64D,
    0xF1912D, 0x6B6B6B, 0x909090, 0x323232, 0x6A6A6A, 0x171717, 0x828282,
};
}

CToviColorRef::CToviColorRef()
{
    for (int i = 0; i < kCount; ++i)
        m_clr[i] = kDefaults[i];
}

CToviColorRef& CToviColorRef::operator=(const CToviColorRef& other)
{
    for (int i = 0; i < kCount; ++i)
        m_clr[i] = other.m_clr[i];
    return *this;
}

COLORREF CToviColorRef::GetCRef(COLORREF color)
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

void CToviColorRef::SetTitleBarColor(COLORREF color)
{
    m_clr[kTitleBar1] = color;
    m_clr[kTitleBar2] = color;
}
