// Percent-encoded form bodies.
#include "FormParam.h"
#include <windows.h>
#include <string>

CString CFormParam::Encode(const CString& value)
{
    if (value.IsEmpty())
        return CString();
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, value.GetString(), value.GetLength(), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return CString();
    std::string ansi((size_t)bytes, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, value.GetString(), value.GetLength(), &ansi[0], bytes, nullptr, nullptr);
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    CString out;
    for (unsigned char c : ansi) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out.AppendChar((wchar_t)c);
        } else {
            out.AppendChar(L'%');
            out.AppendChar(kHex[c >> 4]);
            out.AppendChar(kHex[c & 0x0F]);
        }
    }
    return out;
}

CString CFormParam::Build(std::initializer_list<std::pair<const wchar_t*, CString>> fields)
{
    CString body;
    for (const auto& f : fields) {
        if (!body.IsEmpty())
            body.AppendChar(L'&');
        body += f.first;
        body.AppendChar(L'=');
        body += Encode(f.second);
    }
    return body;
}

CString CFormParam::LinkBody(const CString& link, const CString& userId, const CString& sessionId)
{
    return Build({ { L"link", link }, { L"uid", userId }, { L"sess", sessionId } });
}
