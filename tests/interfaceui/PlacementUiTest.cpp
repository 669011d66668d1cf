// The main window's stored placement: saved and restored through the application profile, a
// stored value of the wrong size left alone, and a save that cannot be stored reported.
#include "FileUtils.h"
#include "Framework.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>

namespace {

const wchar_t kRegistryKey[] = L"ToviPlacementTest";
const wchar_t kAppName[] = L"PlacementApp";

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ToviPlacementTest");
        m_app.SetRegistryKey(kRegistryKey);
        ASSERT_TRUE(m_main.CreateEx(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 100, 120, 300, 200, nullptr,
                                    nullptr));
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_main.DestroyWindow();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ToviPlacementTest");
    }

    RECT NormalPosition()
    {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        ::GetWindowPlacement(m_main.GetSafeHwnd(), &placement);
        return placement.rcNormalPosition;
    }

    // Stores a placement with the given normal rectangle as bytes bytes (padded or cut).
    void Store(const RECT& normal, size_t bytes)
    {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        placement.showCmd = SW_SHOWNORMAL;
        placement.rcNormalPosition = normal;
        std::vector<BYTE> data(bytes, 0);
        memcpy(data.data(), &placement, bytes < sizeof(placement) ? bytes : sizeof(placement));
        ASSERT_TRUE(m_app.WriteProfileBinary(L"CorvaneIXO", L"Pos", data.data(), static_cast<UINT>(bytes)));
    }

    CWinApp m_app{kAppName};
    CWnd m_main;
};

TEST_F(PlacementTest, ASavedPlacementComesBackOnLoad)
{
    ASSERT_TRUE(CFileUtils::SavePlacement());
    ::MoveWindow(m_main.GetSafeHwnd(), 10, 20, 200, 150, FALSE);
    RECT normal = {};
    CFileUtils::LoadPlacement(&normal, false);
    EXPECT_EQ(100, normal.left);
    EXPECT_EQ(120, normal.top);
    EXPECT_EQ(400, normal.right);
    EXPECT_EQ(320, normal.bottom);
    EXPECT_EQ(100, NormalPosition().left);
}

TEST_F(PlacementTest, AStoredValueOfAnotherSizeIsLeftAlone)
{
    const RECT stored = {500, 400, 700, 600};
    for (size_t bytes : {sizeof(WINDOWPLACEMENT) - 4, sizeof(WINDOWPLACEMENT) + 8}) {
        Store(stored, bytes);
        RECT normal = {1, 2, 3, 4};
        CFileUtils::LoadPlacement(&normal, false);
        EXPECT_EQ(1, normal.left) << bytes << " bytes";
        EXPECT_EQ(4, normal.bottom) << bytes << " bytes";
        EXPECT_EQ(100, NormalPosition().left) << bytes << " bytes";
    }
    Store(stored, sizeof(WINDOWPLACEMENT));
    RECT normal = {};
    CFileUtils::LoadPlacement(&normal, false);
    EXPECT_EQ(500, normal.left);
    EXPECT_EQ(500, NormalPosition().left);
}

TEST(Placement, ASaveThatCannotBeStoredIsReported)
{
    EXPECT_FALSE(CFileUtils::SavePlacement()) << "no application";
    // Without a registry key the profile has nowhere to write.
    CWinApp app(L"Keyless");
    EXPECT_FALSE(CFileUtils::SavePlacement()) << "no main window";
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    app.m_pMainWnd = &main;
    EXPECT_FALSE(CFileUtils::SavePlacement()) << "no registry key";
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

}
