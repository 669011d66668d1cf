// The backup windows' English texts and the face that shows their Hangul.
#include "BackupLook.h"
#include "FileUtils.h"
#include "Gdi.h"
#include "ToviTextLanguage.h"
#include <cwchar>
#include <string>

namespace backuplook {

namespace {

const wchar_t kKoreanFace[] = L"\xB9D1\xC740 \xACE0\xB515";

const struct {
    const wchar_t* korean;
    const wchar_t* english;
} kTexts[] = {
    {L"백업 상태", L"Backup Status"},
    {L"백업 로그", L"Backup Log"},
    {L"복원 로그", L"Restore Log"},
    {L"백업 실행 결과", L"Backup results"},
    {L"복원 실행 결과", L"Restore results"},
    {L"백업 실행 시간", L"Backup started"},
    {L"복원 실행 시간", L"Restore started"},
    {L"확인", L"OK"},
    {L"백업 생성", L"New Backup"},
    {L"백업 수정", L"Edit Backup"},
    {L"정책 설정", L"Policy"},
    {L"정책 이름", L"Name"},
    {L"정책 설명", L"Description"},
    {L"폴더 설정", L"Folders"},
    {L"폴더 경로", L"Folder path"},
    {L"중복 파일 설정", L"Existing files"},
    {L"예약 설정", L"Schedule"},
    {L"백업 주기", L"Repeat"},
    {L"날짜", L"Date"},
    {L"요일", L"Day"},
    {L"시간", L"Time"},
    {L"즉시 실행", L"Run now"},
    {L"건너뛰기", L"Skip"},
    {L"덮어쓰기", L"Overwrite"},
    {L"최신 파일만 덮어쓰기", L"Overwrite older files only"},
    {L"한번만", L"Once"},
    {L"매일", L"Daily"},
    {L"매주", L"Weekly"},
    {L"매월", L"Monthly"},
    {L"일요일", L"Sunday"},
    {L"월요일", L"Monday"},
    {L"화요일", L"Tuesday"},
    {L"수요일", L"Wednesday"},
    {L"목요일", L"Thursday"},
    {L"금요일", L"Friday"},
    {L"토요일", L"Saturday"},
    {L"정책 이름을 입력하세요.", L"Enter a policy name."},
    {L"이미 등록된 정책 이름입니다.", L"A policy of this name already exists."},
    {L"정책 설명을 입력하세요.", L"Enter a policy description."},
    {L"폴더를 설정하세요.", L"Choose the folders to back up."},
    {L"정책을 저장하지 못했습니다.", L"The policy could not be saved."},
    {L"복원", L"Restore"},
    {L"복원 위치 재설정", L"Change location"},
    {L"덮어쓰기 옵션", L"Existing files"},
    {L"복원 위치", L"Restore to"},
    {L"원래 위치로 복원", L"Original location"},
    {L"복원할 폴더(파일)들이 없습니다.", L"There are no folders or files to restore."},
    {L"동일한 폴더가 이미 추가 되었습니다.", L"This folder has already been added."},
    {L"부모 폴더가 이미 추가 되었습니다.", L"A parent folder has already been added."},
};

bool HasHangul(const wchar_t* face)
{
    HDC dc = GetDC(nullptr);
    LOGFONTW lf = {};
    lf.lfHeight = -12;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    WORD glyph = 0xFFFF;
    const bool found = GetGlyphIndicesW(dc, L"\xAC00", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return found;
}

} // namespace

const wchar_t* Text(const wchar_t* korean)
{
    if (CToviTextLanguage::GetThreadLanguage() != LANG_ENGLISH)
        return korean;
    for (const auto& text : kTexts)
        if (!wcscmp(text.korean, korean))
            return text.english;
    return korean;
}

void TranslateChildren(HWND dialog)
{
    if (CToviTextLanguage::GetThreadLanguage() != LANG_ENGLISH)
        return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[256] = {};
        GetWindowTextW(child, text, 256);
        const wchar_t* english = Text(text);
        if (english != text && wcscmp(english, text))
            SetWindowTextW(child, english);
    }
}

const wchar_t* FaceName(int product)
{
    static thread_local std::wstring face;
    face = CFileUtils::GetDlgFont(product).GetString();
    if (!face.empty() && HasHangul(face.c_str()))
        return face.c_str();
    return kKoreanFace;
}

void ApplyFace(HWND dialog, int product, CFont& regular, CFont& title)
{
    LOGFONTW lf = {};
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    GetObjectW(current ? current : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lstrcpynW(lf.lfFaceName, FaceName(product), LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    CFont face, bold;
    face.CreateFontIndirect(&lf);
    lf.lfWeight = 600;
    bold.CreateFontIndirect(&lf);
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(face.GetSafeHandle()), FALSE);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(face.GetSafeHandle()), TRUE);
    regular.DeleteObject();
    regular.Attach(face.Detach());
    title.DeleteObject();
    title.Attach(bold.Detach());
}

}
