// The shared image lists: reserved icons, system icons copied on first use, fallback and
// missing icons, shared copies, and the icon helpers (grey, alpha bitmaps, registry icons).
#include "Library.h"
#include "Resources.h"
#include "SkinRes.h"
#include "VImageList.h"
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class ImageLists : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ToviInterfaceInit()); }
    void TearDown() override { ToviInterfaceTerm(); }
};

// The 16x16 picture of one list image on white.
std::vector<COLORREF> Picture(HIMAGELIST list, int image)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT r = { 0, 0, 16, 16 };
    ::FillRect(dc, &r, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    ImageList_Draw(list, image, dc, 0, 0, ILD_TRANSPARENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

HICON LibraryIcon(UINT id)
{
    return (HICON)::LoadImageW(ToviInterfaceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0);
}

// A 16x16 icon of one colour and alpha; the mask makes the left half transparent, where an
// icon without alpha has black colour pixels.
HICON PlainIcon(COLORREF color, BYTE alpha)
{
    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB };
    void* bits = nullptr;
    HBITMAP colour = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = (DWORD*)bits;
    for (int i = 0; i < 256; ++i) {
        const bool left = (i % 16) < 8;
        p[i] = (alpha == 0 && left) ? 0
                                    : ((DWORD)alpha << 24) | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }
    WORD maskBits[16];
    for (WORD& row : maskBits)
        row = 0x00FF;   // bytes: left 8 pixels 1 (transparent), right 8 pixels 0
    HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, maskBits);
    ICONINFO info = { TRUE, 8, 8, mask, colour };
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    return icon;
}

TEST_F(ImageLists, ReservedIconsSitAtTheirSlotsAndTheLockIsOverlayFour)
{
    CVImageList lists;
    ASSERT_FALSE(lists.IsFallback());
    const int positions[] = {
        lists.GetYellowClose(), lists.GetYellowOpen(), lists.GetYellowShareClose(), lists.GetYellowShareOpen(),
        lists.GetShareYellowClose(), lists.GetShareYellowOpen(), lists.GetGroupBlueClose(), lists.GetGroupBlueOpen(),
        lists.GetDomainBlueClose(), lists.GetDomainBlueOpen(), lists.GetBlueClose(), lists.GetBlueOpen(),
        lists.GetBlueShareClose(), lists.GetBlueShareOpen(), lists.GetGuestGreenClose(), lists.GetGuestGreenOpen(),
        lists.GetGreenClose(), lists.GetGreenOpen(), lists.GetRedClose(), lists.GetRedOpen(),
        lists.GetTrashYellowClose(), lists.GetTrashYellowOpen(), lists.GetTrashRedClose(), lists.GetTrashRedOpen(),
        lists.GetIndividualYellowClose(), lists.GetIndividualYellowOpen(), lists.GetPhotoYellowClose(),
        lists.GetPhotoYellowOpen(), lists.GetFileBoxClose(), lists.GetFileBoxOpen(), lists.GetMasterYellowClose(),
        lists.GetMasterYellowOpen(), lists.GetBackupClose(), lists.GetBackupOpen(), lists.GetPerson(),
    };
    for (int slot = 0; slot < 35; ++slot)
        EXPECT_EQ(positions[slot], slot) << "slot " << slot;
    EXPECT_EQ(lists.GetLockOverlayMask(), CVImageList::kLockOverlay);
    // The picture at a slot is that icon's.
    HIMAGELIST single = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    ImageList_AddIcon(single, LibraryIcon(IDI_RED_OPEN));
    EXPECT_EQ(Picture(lists.GetSmallImageList(), lists.GetRedOpen()), Picture(single, 0));
    ImageList_Destroy(single);
    EXPECT_GE(ImageList_GetImageCount(lists.GetNormalImageList()), CVImageList::kReserved);
}

TEST_F(ImageLists, AFileTypesIconIsCopiedOnceToItsSystemIndexPlusThirtySix)
{
    CVImageList lists;
    const int position = lists.GetSysIcon(L"notes.txt", false, false, false);
    ASSERT_GE(position, CVImageList::kReserved);
    EXPECT_TRUE(lists.IsCopied(position, true));
    EXPECT_TRUE(lists.IsCopied(position, false));
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(L"notes.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    EXPECT_EQ(position, info.iIcon + CVImageList::kReserved);

    // A second request finds it there and copies nothing again.
    ImageList_ReplaceIcon(lists.GetSmallImageList(), position, LibraryIcon(IDI_PERSON));
    const std::vector<COLORREF> marked = Picture(lists.GetSmallImageList(), position);
    EXPECT_EQ(lists.GetSysIcon(L"other.txt", false, false, false), position);
    EXPECT_EQ(Picture(lists.GetSmallImageList(), position), marked);
}

TEST_F(ImageLists, MissingReservedIconsFallBackToTheGenericDesktopIcon)
{
    AfxUnregisterResourceModule(ToviInterfaceInstance());
    CVImageList lists;
    AfxRegisterResourceModule(ToviInterfaceInstance());
    ASSERT_FALSE(lists.IsFallback());
    const int generic = lists.GetSysIcon(L"Desktop", true, false, false);
    EXPECT_GE(generic, CVImageList::kReserved);
    EXPECT_EQ(lists.GetYellowClose(), generic);
    EXPECT_EQ(lists.GetPerson(), generic);
    EXPECT_EQ(lists.GetLockOverlayMask(), 1);
}

TEST_F(ImageLists, WithoutACopyEveryGetterGivesTheShellsOwnIndex)
{
    CVImageList lists(nullptr, nullptr);
    EXPECT_TRUE(lists.IsFallback());
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(L"Desktop", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | SHGFI_OPENICON);
    EXPECT_EQ(lists.GetYellowClose(), info.iIcon);
    EXPECT_EQ(lists.GetBackupOpen(), info.iIcon);
    EXPECT_EQ(lists.GetLockOverlayMask(), 1);
    EXPECT_NE(lists.GetSmallImageList(), nullptr);
}

TEST_F(ImageLists, CopiesShareTheListsUntilTheLastOneGoes)
{
    auto first = std::make_unique<CVImageList>();
    CVImageList second(*first);
    EXPECT_EQ(second.GetSmallImageList(), first->GetSmallImageList());
    EXPECT_EQ(second.GetPerson(), first->GetPerson());
    first.reset();
    EXPECT_GE(ImageList_GetImageCount(second.GetSmallImageList()), CVImageList::kReserved);
    CVImageList third;
    third = second;
    EXPECT_EQ(third.GetNormalImageList(), second.GetNormalImageList());
}

TEST_F(ImageLists, GreyIsTheWeightedSumOfTheChannels)
{
    const struct { BYTE r, g, b, grey; } rows[] = {
        { 255, 0, 0, 76 }, { 0, 255, 0, 149 }, { 0, 0, 255, 29 }, { 255, 255, 255, 255 }, { 200, 100, 50, 124 }, { 0, 0, 0, 0 },
    };
    for (const auto& row : rows)
        EXPECT_EQ(CVImageList::GrayOf(row.r, row.g, row.b), row.grey) << (int)row.r << "," << (int)row.g << "," << (int)row.b;
}

TEST_F(ImageLists, GreyIconKeepsTheShapeAndTurnsEveryColourGrey)
{
    HICON icon = PlainIcon(RGB(200, 100, 50), 0);
    HICON grey = CVImageList::CreateGrayscaleIcon(icon);
    ASSERT_NE(grey, nullptr);
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    ImageList_AddIcon(list, grey);
    std::vector<COLORREF> pixels = Picture(list, 0);
    EXPECT_EQ(pixels[8 * 16 + 2], RGB(255, 255, 255));   // the transparent half shows the white below
    EXPECT_EQ(pixels[8 * 16 + 12], RGB(124, 124, 124));
    ImageList_Destroy(list);
    ::DestroyIcon(grey);
    ::DestroyIcon(icon);
    EXPECT_EQ(CVImageList::CreateGrayscaleIcon(nullptr), nullptr);
}

TEST_F(ImageLists, AlphaBitmapKeepsTheIconsAlphaAndFallsBackToTheMaskWithoutIt)
{
    HICON withAlpha = PlainIcon(RGB(10, 20, 30), 128);
    std::unique_ptr<Gdiplus::Bitmap> a(CVImageList::IconToAlphaBitmap(withAlpha));
    ASSERT_TRUE(a);
    Gdiplus::Color c;
    a->GetPixel(2, 8, &c);
    EXPECT_EQ(c.GetA(), 128);   // taken from the pixels, mask or not
    EXPECT_EQ(c.GetB(), 30);

    HICON noAlpha = PlainIcon(RGB(10, 20, 30), 0);
    std::unique_ptr<Gdiplus::Bitmap> b(CVImageList::IconToAlphaBitmap(noAlpha));
    ASSERT_TRUE(b);
    b->GetPixel(2, 8, &c);
    EXPECT_EQ(c.GetA(), 0);   // the mask's transparent half
    b->GetPixel(12, 8, &c);
    EXPECT_EQ(c.GetA(), 255);
    ::DestroyIcon(withAlpha);
    ::DestroyIcon(noAlpha);
    EXPECT_EQ(CVImageList::IconToAlphaBitmap(nullptr), nullptr);
}

TEST_F(ImageLists, RegistryIconFollowsTheClassToItsDefaultIcon)
{
    wchar_t library[MAX_PATH];
    ::GetModuleFileNameW(ToviInterfaceInstance(), library, MAX_PATH);
    std::wstring location = std::wstring(L"\"") + library + L"\",0";
    ASSERT_EQ(::RegSetValueW(HKEY_CLASSES_ROOT, L".tovitestskin", REG_SZ, L"ToviTestSkin.File", 0), ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueW(HKEY_CLASSES_ROOT, L"ToviTestSkin.File\\DefaultIcon", REG_SZ, location.c_str(), 0), ERROR_SUCCESS);
    HICON large = CVImageList::GetIconFromRegistry(L".tovitestskin", true);
    HICON small = CVImageList::GetIconFromRegistry(L".tovitestskin", false);
    EXPECT_NE(large, nullptr);
    EXPECT_NE(small, nullptr);
    if (large)
        ::DestroyIcon(large);
    if (small)
        ::DestroyIcon(small);
    EXPECT_EQ(CVImageList::GetIconFromRegistry(L".tovinosuchtype", true), nullptr);
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, L"ToviTestSkin.File\\DefaultIcon");
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, L"ToviTestSkin.File");
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, L".tovitestskin");
    EXPECT_EQ(CVImageList::GetIconFromRegistry(L".tovitestskin", true), nullptr);
}

}
