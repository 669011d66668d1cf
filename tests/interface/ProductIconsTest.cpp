// The products' main and tray icons: every id that CFileUtils loads is in ToviInterface.dll
// with drawn 16 and 32 pixel images, and each edition's icon functions hand them out. The
// command bar's and the server list's icons are drawn at both sizes too.
#include "BarIconsRes.h"
#include "FileUtils.h"
#include "Library.h"
#include "SkinRes.h"
#include "SystemFactsFake.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct ProductIcon {
    const char* name;
    unsigned id;
};

const ProductIcon kProductIcons[] = {
    { "IDI_IXO_MAIN", IDI_IXO_MAIN },
    { "IDI_IXO_MAIN_DRIVE", IDI_IXO_MAIN_DRIVE },
    { "IDI_IXO_MAIN_BACKUP", IDI_IXO_MAIN_BACKUP },
    { "IDI_IXO_TRAY_ON", IDI_IXO_TRAY_ON },
    { "IDI_IXO_TRAY_OFF", IDI_IXO_TRAY_OFF },
    { "IDI_IXO_TRAY_ON_DRIVE", IDI_IXO_TRAY_ON_DRIVE },
    { "IDI_IXO_TRAY_OFF_DRIVE", IDI_IXO_TRAY_OFF_DRIVE },
    { "IDI_IXO_TRAY_ON_BACKUP", IDI_IXO_TRAY_ON_BACKUP },
    { "IDI_IXO_TRAY_OFF_BACKUP", IDI_IXO_TRAY_OFF_BACKUP },
    { "IDI_IXO_TRAY_RUN_BACKUP", IDI_IXO_TRAY_RUN_BACKUP },
};

// Width and colour depth of the image that Windows picks from an icon group for a size; the
// width is 0 when the group or its image is missing.
struct PickedImage {
    LONG width = 0;
    WORD bitCount = 0;
};

PickedImage PickImage(unsigned groupId, int size)
{
    HMODULE library = ToviInterfaceInstance();
    HRSRC group = ::FindResourceW(library, MAKEINTRESOURCEW(groupId), MAKEINTRESOURCEW(14));   // RT_GROUP_ICON
    if (group == nullptr)
        return {};
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(library, group)));
    int imageId = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = ::FindResourceW(library, MAKEINTRESOURCEW(imageId), MAKEINTRESOURCEW(3));   // RT_ICON
    if (image == nullptr)
        return {};
    auto* header = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(library, image)));
    return { header->biWidth, header->biBitCount };
}

// The icon drawn at size x size over a plain background, as 0xAARRGGBB pixels.
std::vector<uint32_t> DrawnOver(HICON icon, int size, uint32_t background)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (bitmap != nullptr) {
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        std::fill_n(static_cast<uint32_t*>(bits), size * size, background);
        ::DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
        pixels.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size * size);
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(dc);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// Drawn over white and over black: a pixel that comes out the same is opaque, one that takes
// the background is transparent.
struct Coverage {
    int opaque = 0;
    int transparent = 0;
};

Coverage CoverageOf(HICON icon, int size)
{
    std::vector<uint32_t> white = DrawnOver(icon, size, 0xFFFFFF), black = DrawnOver(icon, size, 0);
    Coverage coverage;
    for (size_t i = 0; i < white.size(); ++i) {
        if (white[i] == black[i])
            ++coverage.opaque;
        else if (white[i] == 0xFFFFFF && black[i] == 0)
            ++coverage.transparent;
    }
    return coverage;
}

// Icons come from the library, never from customised files of the test machine.
class ProductIconTest : public ::testing::Test {
protected:
    ProductIconTest() { m_facts.NoDocuments(); }
    FakeSystemFacts m_facts;
};

}

TEST_F(ProductIconTest, EveryProductIconHasItsOwnDrawnImagesAtSixteenAndThirtyTwoPixels)
{
    for (const ProductIcon& icon : kProductIcons) {
        for (int size : { 16, 32 }) {
            SCOPED_TRACE(testing::Message() << icon.name << " (" << icon.id << ") at " << size << " px");
            PickedImage picked = PickImage(icon.id, size);
            EXPECT_EQ(size, picked.width) << "an image of exactly this size, not a scaled one";
            EXPECT_EQ(32, picked.bitCount) << "32-bit with alpha";

            HICON loaded = CFileUtils::ToviLoadImage(icon.id, size, size);
            ASSERT_NE(nullptr, loaded);
            Coverage coverage = CoverageOf(loaded, size);
            EXPECT_GT(coverage.opaque, size * size / 2) << "the mark fills most of the square";
            EXPECT_GT(coverage.transparent, 0) << "the corners are left clear";
        }
    }
}

TEST_F(ProductIconTest, EachEditionsIconFunctionsGiveTheLibrarysIcons)
{
    using IconFunction = HICON (*)(int);
    struct Row {
        const char* function;
        IconFunction get;
        int index;
        unsigned id;   // 0: the edition has no such icon
    };
    const Row rows[] = {
        { "GetMainIcon", CFileUtils::GetMainIcon, 0, IDI_IXO_MAIN },
        { "GetMainIcon", CFileUtils::GetMainIcon, 1, IDI_IXO_MAIN_DRIVE },
        { "GetMainIcon", CFileUtils::GetMainIcon, 2, IDI_IXO_MAIN_BACKUP },
        { "GetTrayOnIcon", CFileUtils::GetTrayOnIcon, 0, IDI_IXO_TRAY_ON },
        { "GetTrayOnIcon", CFileUtils::GetTrayOnIcon, 1, IDI_IXO_TRAY_ON_DRIVE },
        { "GetTrayOnIcon", CFileUtils::GetTrayOnIcon, 2, IDI_IXO_TRAY_ON_BACKUP },
        { "GetTrayOffIcon", CFileUtils::GetTrayOffIcon, 0, IDI_IXO_TRAY_OFF },
        { "GetTrayOffIcon", CFileUtils::GetTrayOffIcon, 1, IDI_IXO_TRAY_OFF_DRIVE },
        { "GetTrayOffIcon", CFileUtils::GetTrayOffIcon, 2, IDI_IXO_TRAY_OFF_BACKUP },
        { "GetTrayRunIcon", CFileUtils::GetTrayRunIcon, 0, 0 },
        { "GetTrayRunIcon", CFileUtils::GetTrayRunIcon, 1, 0 },
        { "GetTrayRunIcon", CFileUtils::GetTrayRunIcon, 2, IDI_IXO_TRAY_RUN_BACKUP },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.function << "(" << row.index << "), expected resource " << row.id);
        HICON icon = row.get(row.index);
        if (row.id == 0) {
            EXPECT_EQ(nullptr, icon);
            continue;
        }
        ASSERT_NE(nullptr, icon);
        HICON resource = CFileUtils::ToviLoadImage(row.id, 32, 32);
        ASSERT_NE(nullptr, resource);
        EXPECT_EQ(DrawnOver(resource, 32, 0xFFFFFF), DrawnOver(icon, 32, 0xFFFFFF)) << "the edition's own image";
    }
}

TEST_F(ProductIconTest, TheTrayStatesAndTheEditionsAreTellableApartAtSixteenPixels)
{
    struct Row {
        const char* what;
        unsigned a, b;
    };
    const Row rows[] = {
        { "explorer connected / disconnected", IDI_IXO_TRAY_ON, IDI_IXO_TRAY_OFF },
        { "drive connected / disconnected", IDI_IXO_TRAY_ON_DRIVE, IDI_IXO_TRAY_OFF_DRIVE },
        { "backup connected / disconnected", IDI_IXO_TRAY_ON_BACKUP, IDI_IXO_TRAY_OFF_BACKUP },
        { "backup connected / transferring", IDI_IXO_TRAY_ON_BACKUP, IDI_IXO_TRAY_RUN_BACKUP },
        { "backup disconnected / transferring", IDI_IXO_TRAY_OFF_BACKUP, IDI_IXO_TRAY_RUN_BACKUP },
        { "explorer / drive", IDI_IXO_MAIN, IDI_IXO_MAIN_DRIVE },
        { "explorer / backup", IDI_IXO_MAIN, IDI_IXO_MAIN_BACKUP },
        { "drive / backup", IDI_IXO_MAIN_DRIVE, IDI_IXO_MAIN_BACKUP },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HICON a = CFileUtils::ToviLoadImage(row.a, 16, 16), b = CFileUtils::ToviLoadImage(row.b, 16, 16);
        ASSERT_NE(nullptr, a);
        ASSERT_NE(nullptr, b);
        std::vector<uint32_t> pixelsA = DrawnOver(a, 16, 0xFFFFFF), pixelsB = DrawnOver(b, 16, 0xFFFFFF);
        ASSERT_EQ(pixelsA.size(), pixelsB.size());
        int differing = 0;
        for (size_t i = 0; i < pixelsA.size(); ++i)
            differing += pixelsA[i] != pixelsB[i];
        EXPECT_GT(differing, 16 * 16 / 8) << "pixels that differ";
    }
}

TEST_F(ProductIconTest, TheCommandBarAndServerListIconsAreDrawnAtBothSizesAndTellableApart)
{
    const ProductIcon icons[] = {
        { "IDI_CMD_LINK", IDI_CMD_LINK }, { "IDI_CMD_NEW_FOLDER", IDI_CMD_NEW_FOLDER },
        { "IDI_CMD_DOWNLOAD", IDI_CMD_DOWNLOAD }, { "IDI_CMD_UPLOAD", IDI_CMD_UPLOAD },
        { "IDI_CMD_SHARE", IDI_CMD_SHARE }, { "IDI_CMD_COPY", IDI_CMD_COPY },
        { "IDI_CMD_DELETE", IDI_CMD_DELETE }, { "IDI_CMD_CUT", IDI_CMD_CUT },
        { "IDI_CMD_PASTE", IDI_CMD_PASTE }, { "IDI_CMD_APPROVAL", IDI_CMD_APPROVAL },
        { "IDI_STATUS_SEARCH", IDI_STATUS_SEARCH }, { "IDI_STATUS_VERSIONING", IDI_STATUS_VERSIONING },
        { "IDI_STATUS_HIDDEN", IDI_STATUS_HIDDEN }, { "IDI_STATUS_LIMITED", IDI_STATUS_LIMITED },
        { "IDI_STATUS_PROTECTED", IDI_STATUS_PROTECTED }, { "IDI_STATUS_PASSWORD", IDI_STATUS_PASSWORD },
        { "IDI_STATUS_DRM", IDI_STATUS_DRM }, { "IDI_STATUS_INCOMPLETE_UPLOAD", IDI_STATUS_INCOMPLETE_UPLOAD },
    };
    std::vector<std::vector<uint32_t>> small;
    for (const ProductIcon& icon : icons) {
        for (int size : { 16, 32 }) {
            SCOPED_TRACE(testing::Message() << icon.name << " (" << icon.id << ") at " << size << " px");
            PickedImage picked = PickImage(icon.id, size);
            EXPECT_EQ(size, picked.width) << "an image of exactly this size, not a scaled one";
            EXPECT_EQ(32, picked.bitCount) << "32-bit with alpha";
            HICON loaded = CFileUtils::ToviLoadImage(icon.id, size, size);
            ASSERT_NE(nullptr, loaded);
            Coverage coverage = CoverageOf(loaded, size);
            EXPECT_GT(coverage.opaque, size * size / 8) << "a mark, not an empty square";
            EXPECT_GT(coverage.transparent, 0) << "drawn on a clear ground";
            if (size == 16)
                small.push_back(DrawnOver(loaded, 16, 0xFFFFFF));
        }
    }
    // Side by side in the bar and in the status column, no two may look alike.
    for (size_t a = 0; a < small.size(); ++a) {
        for (size_t b = a + 1; b < small.size(); ++b) {
            int differing = 0;
            for (size_t i = 0; i < small[a].size(); ++i)
                differing += small[a][i] != small[b][i];
            EXPECT_GT(differing, 16 * 16 / 8) << icons[a].name << " and " << icons[b].name;
        }
    }
}
