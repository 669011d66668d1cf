// The document-management check before an upload, as a table over what the component answers.
#include "UploadEcm.h"
#include <gtest/gtest.h>

namespace {

class FakeEcm : public CUploadEcm {
public:
    CString external = L"E:\\";
    CString work = L"W:\\Work";
    bool answers = true;
    CString kind, replacement = L"C:\\Links\\plan.lnk.bin", status = L"DO0", text;
    int asked = 0;

    CString ExternalRoot() override { return external; }
    CString WorkRoot() override { return work; }
    bool CheckOut(const CString&, CString& k, CString& r, CString& s, CString& t) override
    {
        ++asked;
        k = kind;
        r = replacement;
        s = status;
        t = text;
        return answers;
    }
};

struct Case {
    const char* what;
    const wchar_t* site;
    bool installed;
    void (*setUp)(FakeEcm&);
    const wchar_t* path;
    bool allowed;
    const wchar_t* pathAfter;
    const wchar_t* message;
};

const Case kCases[] = {
    {"another site never asks", L"TOLVAN_IN", false, nullptr, L"W:\\Work\\a.txt", true, L"W:\\Work\\a.txt", L""},
    {"component missing", L"KESTALMOTOR_IN", false, nullptr, L"C:\\a.txt", false, L"C:\\a.txt",
     L"ECM 모듈을 찾을 수 없습니다."},
    {"no external drive", L"KESTALMOTOR_IN", true, [](FakeEcm& e) { e.external.Empty(); }, L"C:\\a.txt", false,
     L"C:\\a.txt", L"외부 저장소 드라이브를 찾을 수 없습니다."},
    {"no work drive", L"KESTALMOTOR_IN", true, [](FakeEcm& e) { e.work.Empty(); }, L"C:\\a.txt", false, L"C:\\a.txt",
     L"작업영역 드라이브를 찾을 수 없습니다."},
    {"outside the work area", L"KESTALMOTOR_IN", true, nullptr, L"C:\\Docs\\a.txt", true, L"C:\\Docs\\a.txt", L""},
    {"work area in other case", L"KESTALMOTOR_IN", true, nullptr, L"w:\\work\\sub\\a.txt", true,
     L"C:\\Links\\plan.lnk.bin", L""},
    {"checked out", L"KESTALMOTOR_IN", true, nullptr, L"W:\\Work\\a.txt", true, L"C:\\Links\\plan.lnk.bin", L""},
    {"refused by kind F", L"KESTALMOTOR_IN", true,
     [](FakeEcm& e) {
         e.kind = L"F";
         e.text = L"Locked by its owner";
     },
     L"W:\\Work\\a.txt", false, L"W:\\Work\\a.txt", L"Locked by its owner"},
    {"no link file", L"KESTALMOTOR_IN", true, [](FakeEcm& e) { e.replacement.Empty(); }, L"W:\\Work\\a.txt", false,
     L"W:\\Work\\a.txt", L"링크파일을 생성할 수 없습니다."},
    {"other status", L"KESTALMOTOR_IN", true, [](FakeEcm& e) { e.status = L"DO1"; }, L"W:\\Work\\a.txt", false,
     L"W:\\Work\\a.txt", L"반출함에서만 업로드 가능합니다."},
    {"component cannot answer", L"KESTALMOTOR_IN", true, [](FakeEcm& e) { e.answers = false; }, L"W:\\Work\\a.txt",
     false, L"W:\\Work\\a.txt", L"ECM 모듈을 찾을 수 없습니다."},
};

}

TEST(UploadEcm, TheCheckFollowsTheComponentsAnswers)
{
    for (const Case& c : kCases) {
        FakeEcm ecm;
        if (c.setUp)
            c.setUp(ecm);
        CString path = c.path;
        CString message;
        const bool allowed = upload::EcmAllows(c.site, c.installed ? &ecm : nullptr, path, message);
        EXPECT_EQ(c.allowed, allowed) << c.what;
        EXPECT_STREQ(c.pathAfter, path.GetString()) << c.what;
        EXPECT_STREQ(c.message, message.GetString()) << c.what;
    }
}

TEST(UploadEcm, AFileOutsideTheWorkAreaIsNeverHandedToTheComponent)
{
    FakeEcm ecm;
    CString path = L"D:\\W\\Work\\a.txt";
    CString message;
    // "W:\Work" is not inside "D:\W\Work\": the drive is part of the root.
    EXPECT_TRUE(upload::EcmAllows(L"KESTALMOTOR_IN", &ecm, path, message));
    EXPECT_EQ(0, ecm.asked);
}
