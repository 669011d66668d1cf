// The application object: profile values in the registry under the application's key, and
// the application and instance lookups.
#include "Framework.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

const wchar_t kKey[] = L"FwProfileTest";
const wchar_t kApp[] = L"Profile App";

void DeleteTestKey()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\FwProfileTest");
}

class Profile : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteTestKey();
        app.SetRegistryKey(kKey);
    }
    void TearDown() override { DeleteTestKey(); }
    CWinApp app{ kApp };
};

TEST_F(Profile, IntegersStringsAndBinariesRoundTrip)
{
    EXPECT_TRUE(app.WriteProfileInt(L"Section", L"Count", -5));
    EXPECT_EQ((int)app.GetProfileInt(L"Section", L"Count", 0), -5);
    EXPECT_TRUE(app.WriteProfileString(L"Section", L"Name", L"한글 이름"));
    EXPECT_STREQ(app.GetProfileString(L"Section", L"Name"), L"한글 이름");
    EXPECT_TRUE(app.WriteProfileString(L"Section", L"Empty", L""));
    EXPECT_STREQ(app.GetProfileString(L"Section", L"Empty", L"default"), L"");

    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.showCmd = SW_SHOWMAXIMIZED;
    placement.rcNormalPosition = { 10, 20, 310, 220 };
    ASSERT_TRUE(app.WriteProfileBinary(L"CorvaneIXO", L"Pos", (LPBYTE)&placement, sizeof(placement)));
    LPBYTE data = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(app.GetProfileBinary(L"CorvaneIXO", L"Pos", &data, &bytes));
    ASSERT_EQ(bytes, 44u);
    EXPECT_EQ(std::memcmp(data, &placement, bytes), 0);
    delete[] data;
}

TEST_F(Profile, MissingValuesGiveTheDefaults)
{
    EXPECT_EQ(app.GetProfileInt(L"Nowhere", L"Count", 77), 77u);
    EXPECT_STREQ(app.GetProfileString(L"Nowhere", L"Name", L"fallback"), L"fallback");
    EXPECT_STREQ(app.GetProfileString(L"Nowhere", L"Name"), L"");
    LPBYTE data = reinterpret_cast<LPBYTE>(1);
    UINT bytes = 5;
    EXPECT_FALSE(app.GetProfileBinary(L"Nowhere", L"Pos", &data, &bytes));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(bytes, 0u);
}

TEST_F(Profile, ValuesOfAnotherTypeAreNotMisread)
{
    app.WriteProfileString(L"Section", L"Value", L"12");
    EXPECT_EQ(app.GetProfileInt(L"Section", L"Value", 3), 3u);
    app.WriteProfileInt(L"Section", L"Number", 12);
    EXPECT_STREQ(app.GetProfileString(L"Section", L"Number", L"none"), L"none");
}

TEST_F(Profile, ValuesLiveUnderSoftwareKeyApplicationSection)
{
    app.WriteProfileInt(L"Section", L"Count", 9);
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\FwProfileTest\\Profile App\\Section", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD value = 0, size = sizeof(value), type = 0;
    EXPECT_EQ(::RegQueryValueExW(key, L"Count", nullptr, &type, (LPBYTE)&value, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    EXPECT_EQ(value, 9u);
    ::RegCloseKey(key);
}

TEST_F(Profile, ANullValueDeletesTheEntryAndANullEntryTheSection)
{
    app.WriteProfileString(L"Section", L"A", L"1");
    app.WriteProfileString(L"Section", L"B", L"2");
    EXPECT_TRUE(app.WriteProfileString(L"Section", L"A", nullptr));
    EXPECT_STREQ(app.GetProfileString(L"Section", L"A", L"gone"), L"gone");
    EXPECT_STREQ(app.GetProfileString(L"Section", L"B"), L"2");
    EXPECT_TRUE(app.WriteProfileString(L"Section", nullptr, nullptr));
    EXPECT_STREQ(app.GetProfileString(L"Section", L"B", L"gone"), L"gone");
    EXPECT_TRUE(app.WriteProfileString(L"Section", L"Missing", nullptr));   // nothing to delete is fine
}

TEST(ProfileWithoutKey, NothingIsStoredBeforeSetRegistryKey)
{
    CWinApp app(L"Keyless");
    EXPECT_FALSE(app.WriteProfileInt(L"Section", L"Count", 1));
    EXPECT_EQ(app.GetProfileInt(L"Section", L"Count", 4), 4u);
    EXPECT_EQ(app.GetAppRegistryKey(), nullptr);
}

TEST(Application, TheApplicationObjectIsFoundWhileItLives)
{
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CWinApp app(L"Lookup");
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_STREQ(AfxGetAppName(), L"Lookup");
        EXPECT_EQ(AfxGetThread(), &app);   // constructed on this thread
        EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleW(nullptr));
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxGetThread(), nullptr);
    EXPECT_STREQ(AfxGetAppName(), L"");
}

TEST(Application, WithoutANameItTakesTheProgramsFileName)
{
    CWinApp app;
    EXPECT_STREQ(app.m_pszAppName, L"WinAppTest");
    EXPECT_STREQ(app.m_pszExeName, L"WinAppTest");
}

}
