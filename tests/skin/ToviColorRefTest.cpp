// The skin's colour set: its defaults where the painters use them, the byte swap, and copies.
#include "ToviColorRef.h"
#include <gtest/gtest.h>

namespace {

TEST(ToviColorRef, HoldsTheFrameAndTitleBarDefaults)
{
    CToviColorRef colors;
    EXPECT_EQ(colors[CToviColorRef::kFrameActive], (COLORREF)0x171717);
    EXPECT_EQ(colors[CToviColorRef::kFrameInactive], (COLORREF)0x828282);
    EXPECT_EQ(colors[CToviColorRef::kTitleBar1], (COLORREF)0xF6A64D);
    EXPECT_EQ(colors[CToviColorRef::kTitleBar2], (COLORREF)0xF1912D);
    EXPECT_EQ(colors[CToviColorRef::kFrameCaptionTop], (COLORREF)0x6B6B6B);
    EXPECT_EQ(colors[CToviColorRef::kFrameCaptionBottom], (COLORREF)0x323232);
    EXPECT_EQ(colors[CToviColorRef::kCount], (COLORREF)0);   // past the end
}

TEST(ToviColorRef, GetCRefSwapsRedAndBlueAndDropsTheTopByte)
{
    const struct { COLORREF in, out; } rows[] = {
        { 0x123456, 0x563412 }, { 0xFF123456, 0x563412 }, { 0x0000FF, 0xFF0000 }, { 0x00FF00, 0x00FF00 },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CToviColorRef::GetCRef(row.in), row.out) << std::hex << row.in;
        EXPECT_EQ(CToviColorRef::GetCRef(CToviColorRef::GetCRef(row.in)), row.in & 0xFFFFFF) << std::hex << row.in;
    }
}

TEST(ToviColorRef, TitleBarColourSetsBothEntriesAndCopiesTakeAllValues)
{
    CToviColorRef colors;
    colors.SetTitleBarColor(0x112233);
    EXPECT_EQ(colors[CToviColorRef::kTitleBar1], (COLORREF)0x112233);
    EXPECT_EQ(colors[CToviColorRef::kTitleBar2], (COLORREF)0x112233);
    colors.m_clr[0] = 0xABCDEF;
    CToviColorRef assigned;
    assigned = colors;
    CToviColorRef copied(colors);
    for (int i = 0; i < CToviColorRef::kCount; ++i) {
        EXPECT_EQ(assigned[i], colors[i]) << "entry " << i;
        EXPECT_EQ(copied[i], colors[i]) << "entry " << i;
    }
}

}
