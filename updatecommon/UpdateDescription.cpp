// The description reader of both update checks.
#include "UpdateDescription.h"
#include <windows.h>
#include <cwchar>

namespace updatedesc {

void CopyField(wchar_t* out, size_t room, const wchar_t* text)
{
    wcsncpy(out, text, room - 1);
    out[room - 1] = L'\0';
}

bool IsEncrypted(const _UPDATE_MODULE_INFO& section, EncryptMark mark)
{
    return section.Encrypt[0] == L'Y' || (mark == EncryptMark::kEitherCase && section.Encrypt[0] == L'y');
}

int Read(const wchar_t* iniPath, EncryptMark mark, std::vector<_UPDATE_MODULE_INFO>& out)
{
    wchar_t names[2048] = {};
    DWORD length = ::GetPrivateProfileSectionNamesW(names, 2048, iniPath);
    if (length == 0 || names[0] == L'\0')
        return -1;
    for (const wchar_t* section = names; *section != L'\0'; section += wcslen(section) + 1) {
        _UPDATE_MODULE_INFO info = {};
        auto read = [&](const wchar_t* key, wchar_t* field, DWORD room) {
            ::GetPrivateProfileStringW(section, key, L"", field, room, iniPath);
        };
        CopyField(info.SectionName, 128, section);
        read(L"FILENAME", info.FileName, 260);
        read(L"TARGETDIR", info.TargetDir, 260);
        read(L"DESTDIR", info.DestDir, 260);
        read(L"ENCRYPT", info.Encrypt, 2);
        read(L"VERSION", info.Version, 62);
        read(L"HASH", info.Hash, 128);
        read(L"PREACTION", info.PreAction, 62);
        read(L"POSTACTION", info.PostAction, 62);
        const size_t nameLength = wcslen(info.FileName);
        CopyField(info.LocalName, 260, info.FileName);
        if (IsEncrypted(info, mark))
            info.LocalName[nameLength > 4 ? nameLength - 4 : 0] = L'\0';
        out.push_back(info);
    }
    return 0;
}

}
