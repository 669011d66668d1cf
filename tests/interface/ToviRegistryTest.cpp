// The settings store against the Wine registry of the test prefix: value tables, indices,
// enciphered credentials, paths, drives and auto-start.
#include "RegistryFixture.h"
#include "ToviRegistry.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>

using namespace regtest;

namespace {

std::wstring Key(int index) { return kProductKeys[index]; }

void InstallAllKeys()
{
    for (int i = 0; i < 4; ++i)
        CreateKey(Key(i));
}

DWORD ValueCount(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return count;
}

struct Writer {
    const char* name;
    bool accepts3;      // the {0, 3} family; otherwise 0-2
    std::function<bool(int)> call;
};

}

class IndexTest : public RegistryTest {};

TEST_F(IndexTest, WritersRefuseIndicesOutsideTheirFamilyAndTouchNothing)
{
    const Writer writers[] = {
        { "SetServerDebugLevel", false, [](int i) { return CToviRegistry::SetServerDebugLevel(i); } },
        { "SetServerAddress", false, [](int i) { return CToviRegistry::SetServerAddress(i, L"10.0.0.5", 9000, L"http://u"); } },
        { "SetMessageBoxTitle", false, [](int i) { return CToviRegistry::SetMessageBoxTitle(i, L"t"); } },
        { "SetMainTitle", false, [](int i) { return CToviRegistry::SetMainTitle(i, L"t"); } },
        { "SetDialogFont", false, [](int i) { return CToviRegistry::SetDialogFont(i, L"Tahoma"); } },
        { "SetLanguage", false, [](int i) { return CToviRegistry::SetLanguage(i, 0x09); } },
        { "SetUserInfo", false, [](int i) { return CToviRegistry::SetUserInfo(i, 1, 0, 0, L"kim", L"pw", L"corp"); } },
        { "SetSessionID", true, [](int i) { return CToviRegistry::SetSessionID(i, "S1"); } },
        { "SetSSOID", true, [](int i) { return CToviRegistry::SetSSOID(i, L"ad"); } },
        { "SetUseSSO", true, [](int i) { return CToviRegistry::SetUseSSO(i, L"Y"); } },
        { "SetCustomFlag", true, [](int i) { return CToviRegistry::SetCustomFlag(i, L"RQGROUP"); } },
        { "SetUpdateUrl", true, [](int i) { return CToviRegistry::SetUpdateUrl(i, L"http://u"); } },
    };
    for (const Writer& w : writers) {
        for (int index = -1; index <= 4; ++index) {
            RemoveAll();
            InstallAllKeys();
            bool accepted = w.accepts3 ? (index == 0 || index == 3) : (index >= 0 && index <= 2);
            bool result = w.call(index);
            EXPECT_EQ(accepted, result) << w.name << " index " << index;
            if (!accepted) {
                for (int k = 0; k < 4; ++k)
                    EXPECT_EQ(0u, ValueCount(Key(k))) << w.name << " index " << index << " wrote into key " << k;
            }
        }
    }
}

TEST_F(IndexTest, InstallDirIsReadForAllFourProductsAndEmptyElsewhere)
{
    for (int i = 0; i < 4; ++i)
        PutText(Key(i), L"InstallDir", L"C:\\Corvane\\" + std::to_wstring(i));
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ((L"C:\\Corvane\\" + std::to_wstring(i)).c_str(), CToviRegistry::GetInstallDir(i).GetString());
    EXPECT_TRUE(CToviRegistry::GetInstallDir(4).IsEmpty());
    EXPECT_TRUE(CToviRegistry::GetInstallDir(-1).IsEmpty());
    RemoveAll();
    EXPECT_TRUE(CToviRegistry::GetInstallDir(0).IsEmpty());
}

class ServerAddressTest : public RegistryTest {};

TEST_F(ServerAddressTest, DebugLevelIsWrittenOnlyWhenMissing)
{
    ASSERT_TRUE(CToviRegistry::SetServerDebugLevel(0));
    std::wstring level;
    ASSERT_TRUE(GetText(Key(0), L"ServerDebugLevel", level));
    EXPECT_EQ(L"0", level);
    PutText(Key(0), L"ServerDebugLevel", L"2");
    ASSERT_TRUE(CToviRegistry::SetServerDebugLevel(0));
    ASSERT_TRUE(GetText(Key(0), L"ServerDebugLevel", level));
    EXPECT_EQ(L"2", level);
}

TEST_F(ServerAddressTest, RoundTripsAddressPortLevelAndUrl)
{
    ASSERT_TRUE(CToviRegistry::SetServerAddress(2, L"files.example", 7001, L"http://update.example:8080"));
    PutText(Key(2), L"ServerDebugLevel", L"3");
    char server[256] = {};
    char level[256] = {};
    wchar_t url[128] = {};
    int port = 0;
    ASSERT_TRUE(CToviRegistry::GetServerAddress(2, server, &port, level, url));
    EXPECT_STREQ("files.example", server);
    EXPECT_EQ(7001, port);
    EXPECT_STREQ("3", level);
    EXPECT_STREQ(L"http://update.example:8080", url);
}

TEST_F(ServerAddressTest, AnEmptyUrlLeavesTheOlderOne)
{
    PutText(Key(0), L"UpdateURL", L"http://old.example");
    ASSERT_TRUE(CToviRegistry::SetServerAddress(0, L"10.0.0.7", 80, L""));
    std::wstring url, ip;
    ASSERT_TRUE(GetText(Key(0), L"UpdateURL", url));
    EXPECT_EQ(L"http://old.example", url);
    ASSERT_TRUE(GetText(Key(0), L"ServerIP", ip));
    EXPECT_EQ(L"10.0.0.7", ip);
}

TEST_F(ServerAddressTest, AMissingUrlIsMadeFromTheServerAddress)
{
    PutText(Key(0), L"ServerIP", L"10.0.0.5");
    PutDword(Key(0), L"ServerPort", 9000);
    char server[256] = {};
    char level[256] = {};
    wchar_t url[128] = {};
    int port = 0;
    EXPECT_TRUE(CToviRegistry::GetServerAddress(0, server, &port, level, url));
    EXPECT_STREQ(L"http://10.0.0.5", url);
    EXPECT_STREQ("", level);
}

TEST_F(ServerAddressTest, MissingAddressAndUrlFailAndLeaveTheUrlBuffer)
{
    CreateKey(Key(0));
    char server[256] = {};
    char level[256] = {};
    wchar_t url[128] = L"untouched";
    int port = 77;
    EXPECT_FALSE(CToviRegistry::GetServerAddress(0, server, &port, level, url));
    EXPECT_STREQ(L"untouched", url);
    EXPECT_EQ(77, port);
}

TEST_F(ServerAddressTest, ANegativeStoredPortIsNotCopiedOut)
{
    PutText(Key(1), L"ServerIP", L"h");
    PutDword(Key(1), L"ServerPort", 0xFFFFFFFF);
    char server[256] = {};
    char level[256] = {};
    wchar_t url[128] = {};
    int port = 5;
    EXPECT_TRUE(CToviRegistry::GetServerAddress(1, server, &port, level, url));
    EXPECT_EQ(5, port);
}

class TextValueTest : public RegistryTest {};

TEST_F(TextValueTest, LanguageTextsMapToPrimaryLanguageIds)
{
    struct Row { const wchar_t* stored; bool ok; unsigned short id; };
    const Row rows[] = {
        { L"1042", true, 0x12 }, { L"1033", true, 0x09 }, { L"1041", true, 0x11 },
        { L"2052", true, 0x12 }, { L"", false, 0 }, { L"10420", false, 0 },
    };
    for (const Row& r : rows) {
        PutText(Key(0), L"Language", r.stored);
        unsigned short id = 0;
        bool ok = CToviRegistry::GetLanguage(0, &id);
        EXPECT_EQ(r.ok, ok) << "stored \"" << testing::PrintToString(std::wstring(r.stored)) << "\"";
        if (r.ok) {
            EXPECT_EQ(r.id, id) << "stored " << testing::PrintToString(std::wstring(r.stored));
        }
    }
}

TEST_F(TextValueTest, SetLanguageWritesTheLcidTextIntoAnExistingKeyOnly)
{
    EXPECT_FALSE(CToviRegistry::SetLanguage(0, 0x09));
    EXPECT_FALSE(HasKey(Key(0)));
    CreateKey(Key(0));
    struct Row { unsigned short id; const wchar_t* stored; };
    const Row rows[] = { { 0x09, L"1033" }, { 0x11, L"1041" }, { 0x12, L"1042" }, { 0x07, L"1042" } };
    for (const Row& r : rows) {
        ASSERT_TRUE(CToviRegistry::SetLanguage(0, r.id));
        std::wstring text;
        ASSERT_TRUE(GetText(Key(0), L"Language", text));
        EXPECT_EQ(r.stored, text) << "id " << r.id;
    }
}

TEST_F(TextValueTest, TitlesAndFontRoundTripAndEmptyTitlesFail)
{
    CString title;
    EXPECT_FALSE(CToviRegistry::GetMainTitle(1, title));
    ASSERT_TRUE(CToviRegistry::SetMainTitle(1, L"\xB4DC\xB77C\xC774\xBE0C"));
    ASSERT_TRUE(CToviRegistry::GetMainTitle(1, title));
    EXPECT_STREQ(L"\xB4DC\xB77C\xC774\xBE0C", title.GetString());

    ASSERT_TRUE(CToviRegistry::SetMessageBoxTitle(0, L""));
    title = L"kept";
    EXPECT_FALSE(CToviRegistry::GetMessageBoxTitle(0, title));
    EXPECT_STREQ(L"kept", title.GetString());
    ASSERT_TRUE(CToviRegistry::SetMessageBoxTitle(0, L"Corvane"));
    ASSERT_TRUE(CToviRegistry::GetMessageBoxTitle(0, title));
    EXPECT_STREQ(L"Corvane", title.GetString());

    CString face;
    ASSERT_TRUE(CToviRegistry::SetDialogFont(2, L"Tahoma"));
    ASSERT_TRUE(CToviRegistry::GetDialogFont(2, face));
    EXPECT_STREQ(L"Tahoma", face.GetString());
}

TEST_F(TextValueTest, AValueLongerThanTheReadersBufferFails)
{
    PutText(Key(0), L"MainTitle", std::wstring(255, L'a'));
    CString title;
    EXPECT_TRUE(CToviRegistry::GetMainTitle(0, title));
    PutText(Key(0), L"MainTitle", std::wstring(256, L'a'));
    EXPECT_FALSE(CToviRegistry::GetMainTitle(0, title));
}

TEST_F(TextValueTest, SingleSignOnValuesOpenTheKeyWhileTheUpdateUrlCreatesIt)
{
    EXPECT_FALSE(CToviRegistry::SetSSOID(3, L"ad.user"));
    EXPECT_TRUE(CToviRegistry::SetUpdateUrl(3, L"http://u.example"));
    ASSERT_TRUE(CToviRegistry::SetSSOID(3, L"ad.user"));
    ASSERT_TRUE(CToviRegistry::SetUseSSO(3, L"Y"));
    ASSERT_TRUE(CToviRegistry::SetCustomFlag(3, L"RQGROUP"));
    PutText(Key(3), L"NoCustom", L"Y");
    CString id, use, flag, url, noCustom;
    ASSERT_TRUE(CToviRegistry::GetSSOID(3, id));
    ASSERT_TRUE(CToviRegistry::GetUseSSO(3, use));
    ASSERT_TRUE(CToviRegistry::GetCustomFlag(3, flag));
    ASSERT_TRUE(CToviRegistry::GetUpdateUrl(3, url));
    ASSERT_TRUE(CToviRegistry::GetNoCustom(3, noCustom));
    EXPECT_STREQ(L"ad.user", id.GetString());
    EXPECT_STREQ(L"Y", use.GetString());
    EXPECT_STREQ(L"RQGROUP", flag.GetString());
    EXPECT_STREQ(L"http://u.example", url.GetString());
    EXPECT_STREQ(L"Y", noCustom.GetString());
    EXPECT_FALSE(CToviRegistry::GetSSOID(0, id));
}

class UserInfoTest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        InstallAllKeys();
    }
};

TEST_F(UserInfoTest, AutoLoginStoresBothTextsEncipheredAndSaveUserIdZero)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 1, 1, 0, L"kim.minsu", L"p@ss word", L"corp"));
    DWORD save = 9, autoLogin = 9;
    ASSERT_TRUE(GetDword(Key(0), L"SaveUserID", save));
    ASSERT_TRUE(GetDword(Key(0), L"AutoLogin", autoLogin));
    EXPECT_EQ(0u, save);
    EXPECT_EQ(1u, autoLogin);
    std::wstring storedId, storedPassword;
    ASSERT_TRUE(GetText(Key(0), L"UserID", storedId));
    ASSERT_TRUE(GetText(Key(0), L"UserPWD", storedPassword));
    EXPECT_FALSE(storedId.empty());
    EXPECT_EQ(std::wstring::npos, storedId.find(L"kim"));
    EXPECT_EQ(std::wstring::npos, storedPassword.find(L"p@ss"));

    int s = -7, a = -7, run = -7;
    CString id, password, domain;
    ASSERT_TRUE(CToviRegistry::GetUserInfo(0, &s, &a, &run, id, password, domain));
    EXPECT_EQ(0, s);
    EXPECT_EQ(1, a);
    EXPECT_EQ(-7, run);
    EXPECT_STREQ(L"kim.minsu", id.GetString());
    EXPECT_STREQ(L"p@ss word", password.GetString());
    EXPECT_STREQ(L"corp", domain.GetString());
}

TEST_F(UserInfoTest, NeitherFlagWritesBothFlagsAndEmptyTexts)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 1, 1, 0, L"kim", L"pw", L""));
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 0, 0, L"kim", L"pw", L""));
    DWORD save = 9, autoLogin = 9;
    std::wstring storedId = L"x", storedPassword = L"x";
    ASSERT_TRUE(GetDword(Key(0), L"SaveUserID", save));
    ASSERT_TRUE(GetDword(Key(0), L"AutoLogin", autoLogin));
    ASSERT_TRUE(GetText(Key(0), L"UserID", storedId));
    ASSERT_TRUE(GetText(Key(0), L"UserPWD", storedPassword));
    EXPECT_EQ(0u, save);
    EXPECT_EQ(0u, autoLogin);
    EXPECT_EQ(L"", storedId);
    EXPECT_EQ(L"", storedPassword);

    int s = 5, a = 5, run = 5;
    CString id = L"before", password = L"before", domain;
    ASSERT_TRUE(CToviRegistry::GetUserInfo(0, &s, &a, &run, id, password, domain));
    EXPECT_EQ(0, s);
    EXPECT_EQ(0, a);
    EXPECT_STREQ(L"before", id.GetString());
}

TEST_F(UserInfoTest, SavingTheIdAloneKeepsItButNoPassword)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(2, 1, 0, 0, L"lee", L"secret", L"dom"));
    std::wstring storedPassword = L"x";
    ASSERT_TRUE(GetText(Key(2), L"UserPWD", storedPassword));
    EXPECT_EQ(L"", storedPassword);
    int s = 0, a = 0, run = 0;
    CString id, password = L"untouched", domain;
    ASSERT_TRUE(CToviRegistry::GetUserInfo(2, &s, &a, &run, id, password, domain));
    EXPECT_EQ(1, s);
    EXPECT_STREQ(L"lee", id.GetString());
    EXPECT_STREQ(L"untouched", password.GetString());
}

TEST_F(UserInfoTest, NegativeFlagsChangeOnlyTheDomainAndTheDriveRunExplorer)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(1, 1, 1, 1, L"park", L"pw", L"old"));
    std::wstring idBefore, pwBefore;
    ASSERT_TRUE(GetText(Key(1), L"UserID", idBefore));
    ASSERT_TRUE(GetText(Key(1), L"UserPWD", pwBefore));
    ASSERT_TRUE(CToviRegistry::SetUserInfo(1, -1, -1, 0, L"other", L"other", L"new"));
    std::wstring id, pw, domain;
    DWORD save = 9, autoLogin = 9, run = 9;
    ASSERT_TRUE(GetText(Key(1), L"UserID", id));
    ASSERT_TRUE(GetText(Key(1), L"UserPWD", pw));
    ASSERT_TRUE(GetText(Key(1), L"DomainName", domain));
    ASSERT_TRUE(GetDword(Key(1), L"SaveUserID", save));
    ASSERT_TRUE(GetDword(Key(1), L"AutoLogin", autoLogin));
    ASSERT_TRUE(GetDword(Key(1), L"RunExplorer", run));
    EXPECT_EQ(idBefore, id);
    EXPECT_EQ(pwBefore, pw);
    EXPECT_EQ(L"new", domain);
    EXPECT_EQ(0u, save);
    EXPECT_EQ(1u, autoLogin);
    EXPECT_EQ(0u, run);
}

TEST_F(UserInfoTest, RunExplorerBelongsToTheDriveProductOnly)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 0, 1, L"", L"", L""));
    EXPECT_FALSE(HasValue(Key(0), L"RunExplorer"));
}

TEST_F(UserInfoTest, TheDomainIsCutToSixtyCharacters)
{
    ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 0, 0, L"", L"", CString(std::wstring(70, L'd').c_str())));
    std::wstring domain;
    ASSERT_TRUE(GetText(Key(0), L"DomainName", domain));
    EXPECT_EQ(std::wstring(60, L'd'), domain);
}

TEST_F(UserInfoTest, FailsWhenTheProductKeyIsMissing)
{
    RemoveAll();
    EXPECT_FALSE(CToviRegistry::SetUserInfo(0, 1, 0, 0, L"kim", L"", L""));
    int s = 0, a = 0, r = 0;
    CString id, pw, dom;
    EXPECT_FALSE(CToviRegistry::GetUserInfo(0, &s, &a, &r, id, pw, dom));
}

// Stored credentials used to be cut to 127 characters of cipher text, which then no longer
// deciphered: every length must come back whole.
TEST_F(UserInfoTest, UserIdsAndPasswordsOfAnyLengthRoundTrip)
{
    const size_t lengths[] = { 1, 47, 48, 64, 95, 96, 127, 128, 200, 512, 2000 };
    for (size_t length : lengths) {
        std::wstring id, password;
        for (size_t i = 0; i < length; ++i) {
            id += wchar_t(L'a' + i % 26);
            password += (i % 3 == 0) ? wchar_t(0xAC00 + i % 100) : wchar_t(L'0' + i % 10);
        }
        ASSERT_TRUE(CToviRegistry::SetUserInfo(0, 0, 1, 0, id.c_str(), password.c_str(), L"")) << "length " << length;
        int s = 0, a = 0, r = 0;
        CString gotId, gotPassword, domain;
        ASSERT_TRUE(CToviRegistry::GetUserInfo(0, &s, &a, &r, gotId, gotPassword, domain)) << "length " << length;
        EXPECT_EQ(id, std::wstring(gotId.GetString())) << "user id of length " << length;
        EXPECT_EQ(password, std::wstring(gotPassword.GetString())) << "password of length " << length;
    }
}

TEST_F(UserInfoTest, AStoredTextThatDoesNotDecipherFails)
{
    PutDword(Key(0), L"SaveUserID", 1);
    PutDword(Key(0), L"AutoLogin", 0);
    PutText(Key(0), L"UserID", L"");
    int s = 0, a = 0, r = 0;
    CString id = L"kept", pw, dom;
    EXPECT_FALSE(CToviRegistry::GetUserInfo(0, &s, &a, &r, id, pw, dom));
    EXPECT_STREQ(L"kept", id.GetString());
}

class SessionIdTest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        InstallAllKeys();
    }
};

TEST_F(SessionIdTest, RoundTripsEncipheredAndCutsToTheCallersBuffer)
{
    ASSERT_TRUE(CToviRegistry::SetSessionID(0, "SESS-0123456789"));
    std::wstring stored;
    ASSERT_TRUE(GetText(Key(0), L"SessionID", stored));
    EXPECT_EQ(std::wstring::npos, stored.find(L"SESS"));
    char buffer[64];
    memset(buffer, 'x', sizeof(buffer));
    ASSERT_TRUE(CToviRegistry::GetSessionID(0, buffer, sizeof(buffer)));
    EXPECT_STREQ("SESS-0123456789", buffer);
    char small[6];
    ASSERT_TRUE(CToviRegistry::GetSessionID(0, small, sizeof(small)));
    EXPECT_STREQ("SESS-", small);
}

TEST_F(SessionIdTest, AnEmptyIdClearsTheStoredOne)
{
    ASSERT_TRUE(CToviRegistry::SetSessionID(3, "abc"));
    ASSERT_TRUE(CToviRegistry::SetSessionID(3, ""));
    std::wstring stored = L"x";
    ASSERT_TRUE(GetText(Key(3), L"SessionID", stored));
    EXPECT_EQ(L"", stored);
    char buffer[16] = {};
    EXPECT_FALSE(CToviRegistry::GetSessionID(3, buffer, sizeof(buffer)));
}

TEST_F(SessionIdTest, LongSessionIdsRoundTripWhole)
{
    std::string id(700, 'k');
    for (size_t i = 0; i < id.size(); ++i)
        id[i] = char('A' + i % 26);
    ASSERT_TRUE(CToviRegistry::SetSessionID(0, id.c_str()));
    std::string buffer(1024, '\0');
    ASSERT_TRUE(CToviRegistry::GetSessionID(0, &buffer[0], int(buffer.size())));
    EXPECT_EQ(id, std::string(buffer.c_str()));
}

class ExplorerValueTest : public RegistryTest {};

TEST_F(ExplorerValueTest, DeleteScheduleAndUseFrameLiveInTheExplorerKey)
{
    CString when;
    EXPECT_FALSE(CToviRegistry::GetDelScheduleTime(when));
    ASSERT_TRUE(CToviRegistry::SetDelScheduleTime(L"2016/12/20/10/30/00"));
    ASSERT_TRUE(CToviRegistry::GetDelScheduleTime(when));
    EXPECT_STREQ(L"2016/12/20/10/30/00", when.GetString());
    ASSERT_TRUE(CToviRegistry::SetDelScheduleTime(L""));
    EXPECT_FALSE(CToviRegistry::GetDelScheduleTime(when));

    int frame = -1;
    EXPECT_FALSE(CToviRegistry::GetUseFrame(&frame));
    PutDword(Key(0), L"UseFrame", 1);
    ASSERT_TRUE(CToviRegistry::GetUseFrame(&frame));
    EXPECT_EQ(1, frame);
}

TEST_F(ExplorerValueTest, LastPathsNeedBothValues)
{
    CString server = L"/team/docs", local = L"C:\\work";
    ASSERT_TRUE(CToviRegistry::SetLastFullPath(server, local));
    CString s, l;
    ASSERT_TRUE(CToviRegistry::GetLastFullPath(s, l));
    EXPECT_STREQ(L"/team/docs", s.GetString());
    EXPECT_STREQ(L"C:\\work", l.GetString());
    RemoveAll();
    PutText(Key(0), L"FullPathServer", L"/only");
    s = L"kept";
    EXPECT_FALSE(CToviRegistry::GetLastFullPath(s, l));
    EXPECT_STREQ(L"kept", s.GetString());
}

class DriveTest : public RegistryTest {};

TEST_F(DriveTest, DriveInfoRoundTripsAndRefusesEmptyOrOversizedNames)
{
    ASSERT_TRUE(CToviRegistry::SetDriveInfo(L"Z:", L"\\\\files.example\\team"));
    CString remote, drive;
    ASSERT_TRUE(CToviRegistry::GetDriveInfo(remote, drive));
    EXPECT_STREQ(L"Z:", remote.GetString());
    EXPECT_STREQ(L"\\\\files.example\\team", drive.GetString());

    ASSERT_TRUE(CToviRegistry::SetDriveInfo(L"Z:\\", L"x"));
    EXPECT_FALSE(CToviRegistry::GetDriveInfo(remote, drive));
    ASSERT_TRUE(CToviRegistry::SetDriveInfo(L"Z:", L""));
    EXPECT_FALSE(CToviRegistry::GetDriveInfo(remote, drive));

    ASSERT_TRUE(CToviRegistry::RemoveDriveInfo());
    EXPECT_FALSE(HasValue(Key(1), L"RemoteName"));
    EXPECT_FALSE(HasValue(Key(1), L"DriveName"));
    EXPECT_FALSE(CToviRegistry::RemoveDriveInfo());
}

TEST_F(DriveTest, DriveLabelIsWrittenUnderMountPointsAndCut)
{
    wchar_t server[] = L"files.example";
    wchar_t share[] = L"team";
    std::wstring label(200, L'L');
    ASSERT_TRUE(CToviRegistry::SetDriveName(server, &label[0], share));
    std::wstring stored;
    ASSERT_TRUE(GetText(std::wstring(kMountPoints) + L"\\##files.example#team", L"_LabelFromReg", stored));
    EXPECT_EQ(std::wstring(127, L'L'), stored);
    wchar_t empty[] = L"";
    EXPECT_FALSE(CToviRegistry::SetDriveName(empty, &label[0], share));
}

// RemoveDriveName used to answer true whatever the delete gave.
TEST_F(DriveTest, RemovingADriveLabelReportsWhetherItIsGone)
{
    wchar_t server[] = L"files.example";
    wchar_t share[] = L"team";
    wchar_t label[] = L"Team";
    std::wstring path = std::wstring(kMountPoints) + L"\\##files.example#team";
    ASSERT_TRUE(CToviRegistry::SetDriveName(server, label, share));
    EXPECT_TRUE(CToviRegistry::RemoveDriveName(server, share));
    EXPECT_FALSE(HasKey(path));
    EXPECT_TRUE(CToviRegistry::RemoveDriveName(server, share)) << "nothing left to remove is no failure";

    CreateKey(path + L"\\Held");
    EXPECT_FALSE(CToviRegistry::RemoveDriveName(server, share));
    EXPECT_TRUE(HasKey(path));
    wchar_t empty[] = L"";
    EXPECT_FALSE(CToviRegistry::RemoveDriveName(empty, share));
}

class AutoRunTest : public RegistryTest {};

TEST_F(AutoRunTest, TurningOnWritesTheProductsProgramPath)
{
    struct Row { int index; const wchar_t* value; const wchar_t* program; };
    const Row rows[] = {
        { 0, L"CorvaneIXO", L"CorvaneIXO.exe" },
        { 1, L"CorvaneIXODrive", L"CorvaneDriveIXO.exe" },
        { 2, L"CorvaneBackup", L"CorvaneBackup.exe" },
    };
    for (const Row& r : rows) {
        PutText(Key(r.index), L"InstallDir", L"C:\\Program Files\\Corvane");
        EXPECT_FALSE(CToviRegistry::GetAutoRun(r.index));
        ASSERT_TRUE(CToviRegistry::SetAutoRun(r.index, true)) << "index " << r.index;
        std::wstring command;
        ASSERT_TRUE(GetText(kRunKey, r.value, command)) << "index " << r.index;
        EXPECT_EQ(std::wstring(L"C:\\Program Files\\Corvane\\") + r.program, command);
        EXPECT_TRUE(CToviRegistry::GetAutoRun(r.index));
        ASSERT_TRUE(CToviRegistry::SetAutoRun(r.index, false));
        EXPECT_FALSE(HasValue(kRunKey, r.value));
        EXPECT_FALSE(CToviRegistry::GetAutoRun(r.index));
    }
    EXPECT_FALSE(CToviRegistry::SetAutoRun(3, true));
}

TEST_F(AutoRunTest, WithoutInstallDirNothingIsWritten)
{
    CreateKey(Key(1));
    EXPECT_FALSE(CToviRegistry::SetAutoRun(1, true));
    EXPECT_FALSE(HasValue(kRunKey, L"CorvaneIXODrive"));
}

TEST_F(AutoRunTest, SessionEnvironmentValuesAreReadFromAnySubkey)
{
    PutText(L"Software\\Varivivod\\Env", L"USERNAME", L"kim");
    EXPECT_STREQ(L"kim", CToviRegistry::GetADInfo(L"Software\\Varivivod\\Env", L"USERNAME").GetString());
    EXPECT_TRUE(CToviRegistry::GetADInfo(L"Software\\Varivivod\\Env", L"USERDNSDOMAIN").IsEmpty());
    EXPECT_TRUE(CToviRegistry::GetADInfo(L"Software\\Varivivod\\Nowhere", L"USERNAME").IsEmpty());
}
