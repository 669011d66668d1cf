// The description reader both update checks use: fields, cuts, the ENCRYPT mark of each reader.
#include "UpdateDescription.h"
#include "TestPaths.h"
#include <gtest/gtest.h>
#include <fstream>
#include <string>

namespace {

class UpdateDescription : public ::testing::Test {
protected:
    void SetUp() override { m_dir = testpaths::ScratchDir(L"UpdateDescription"); }
    void TearDown() override { testpaths::RemoveTree(m_dir); }

    std::wstring Write(const char* name, const std::string& text)
    {
        std::wstring path = m_dir + L"\\" + std::wstring(name, name + strlen(name));
        std::ofstream(path.c_str(), std::ios::binary) << text;
        return path;
    }

    std::wstring m_dir;
};

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

}

TEST_F(UpdateDescription, EachReaderDropsTheEncipheredEndingOnlyForItsOwnMark)
{
    using updatedesc::EncryptMark;
    struct Row {
        const char* fileName;
        const char* encrypt;
        EncryptMark mark;
        const wchar_t* localName;
    } rows[] = {
        { "CorvaneUpdate.exe.enc", "Y", EncryptMark::kEitherCase, L"CorvaneUpdate.exe" },
        { "CorvaneUpdate.exe.enc", "Y", EncryptMark::kUpperCaseOnly, L"CorvaneUpdate.exe" },
        { "CorvaneUpdate.exe.enc", "y", EncryptMark::kEitherCase, L"CorvaneUpdate.exe" },
        { "CorvaneUpdate.exe.enc", "y", EncryptMark::kUpperCaseOnly, L"CorvaneUpdate.exe.enc" },
        { "CorvaneUpdate.exe.enc", "N", EncryptMark::kEitherCase, L"CorvaneUpdate.exe.enc" },
        { "CorvaneUpdate.exe", "", EncryptMark::kUpperCaseOnly, L"CorvaneUpdate.exe" },
        { "Yes.dll.enc", "Yes", EncryptMark::kUpperCaseOnly, L"Yes.dll" },
        { "abc", "Y", EncryptMark::kEitherCase, L"" },
        { "abcd", "Y", EncryptMark::kUpperCaseOnly, L"" },
    };
    for (const Row& row : rows) {
        std::wstring ini = Write("mark.ini", std::string("[MODULE]\nFILENAME=") + row.fileName + "\nENCRYPT=" +
                                                  row.encrypt + "\n");
        std::vector<_UPDATE_MODULE_INFO> read;
        ASSERT_EQ(0, updatedesc::Read(ini.c_str(), row.mark, read)) << row.fileName;
        ASSERT_EQ(1u, read.size());
        EXPECT_EQ(Wide(row.fileName), read[0].FileName);
        EXPECT_EQ(std::wstring(row.localName), read[0].LocalName)
            << row.fileName << " ENCRYPT=" << row.encrypt << " mark " << static_cast<int>(row.mark);
    }
}

TEST_F(UpdateDescription, ReadsEverySectionInFileOrderAndCutsEachValueToItsField)
{
    const std::string longVersion(100, '7');
    const std::string longHash(200, 'A');
    std::wstring ini = Write("Update.ini",
                             "[CORVANEUPDATE]\nFILENAME=CorvaneUpdate.exe.enc\nTARGETDIR=app/bin\nDESTDIR=Update\n"
                             "ENCRYPT=Y\nVERSION=1.2.3.4\nHASH=0123456789abcdef0123456789ABCDEF01234567\n"
                             "PREACTION=KILL\nPOSTACTION=start\n"
                             "[MAIN]\nFILENAME=CorvaneIXO.exe\nVERSION=" + longVersion + "\nHASH=" + longHash + "\n");
    std::vector<_UPDATE_MODULE_INFO> read(1);
    ASSERT_EQ(0, updatedesc::Read(ini.c_str(), updatedesc::EncryptMark::kUpperCaseOnly, read));
    ASSERT_EQ(3u, read.size()) << "appended after what the list held";

    const _UPDATE_MODULE_INFO& first = read[1];
    EXPECT_STREQ(L"CORVANEUPDATE", first.SectionName);
    EXPECT_STREQ(L"CorvaneUpdate.exe.enc", first.FileName);
    EXPECT_STREQ(L"CorvaneUpdate.exe", first.LocalName);
    EXPECT_STREQ(L"app/bin", first.TargetDir);
    EXPECT_STREQ(L"Update", first.DestDir);
    EXPECT_STREQ(L"Y", first.Encrypt);
    EXPECT_STREQ(L"1.2.3.4", first.Version);
    EXPECT_STREQ(L"0123456789abcdef0123456789ABCDEF01234567", first.Hash);
    EXPECT_STREQ(L"KILL", first.PreAction);
    EXPECT_STREQ(L"start", first.PostAction);

    const _UPDATE_MODULE_INFO& second = read[2];
    EXPECT_STREQ(L"MAIN", second.SectionName);
    EXPECT_STREQ(L"", second.TargetDir) << "a missing key reads as empty";
    EXPECT_STREQ(L"", second.Encrypt);
    EXPECT_STREQ(L"", second.PreAction);
    EXPECT_EQ(Wide(longVersion.substr(0, 61)), second.Version);
    EXPECT_EQ(Wide(longHash.substr(0, 127)), second.Hash);
}

TEST_F(UpdateDescription, AFileWithoutSectionsOrNoFileAtAllReadsAsNothing)
{
    const std::wstring paths[] = { Write("empty.ini", ""), Write("keys.ini", "FILENAME=a.exe\n"),
                                   m_dir + L"\\missing.ini" };
    for (const std::wstring& path : paths) {
        std::vector<_UPDATE_MODULE_INFO> read;
        EXPECT_EQ(-1, updatedesc::Read(path.c_str(), updatedesc::EncryptMark::kEitherCase, read)) << path.c_str();
        EXPECT_TRUE(read.empty());
    }
}

TEST(UpdateDescriptionField, CopiesWithinItsRoomAndAlwaysEndsTheText)
{
    struct Row {
        const wchar_t* text;
        size_t room;
        const wchar_t* expected;
    } rows[] = {
        { L"CorvaneIXO.exe", 260, L"CorvaneIXO.exe" },
        { L"abcdef", 4, L"abc" },
        { L"abc", 4, L"abc" },
        { L"abc", 1, L"" },
        { L"", 8, L"" },
    };
    for (const Row& row : rows) {
        wchar_t field[300];
        wmemset(field, L'#', 300);
        updatedesc::CopyField(field, row.room, row.text);
        EXPECT_STREQ(row.expected, field) << row.text << " in " << row.room;
        EXPECT_EQ(L'#', field[row.room]) << "wrote past its room";
    }
}
