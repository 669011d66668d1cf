// Form bodies that the client posts to the service's pages ("link=...&uid=...&sess=...").
//
// Every value is percent-encoded from its bytes in the ANSI code page, the same bytes the
// body has always been sent as, so the server decodes exactly what it read before; a value
// with '&', '=', '+' or '%' can no longer break the body apart. Any thread.
#pragma once
#include "Strings.h"
#include "ToviInterfaceApi.h"
#include <initializer_list>
#include <utility>

class TOVIINTERFACE_API CFormParam {
public:
    // Letters, digits and "-_.~" stay; every other byte becomes %XX (upper-case hex).
    static CString Encode(const CString& value);
    // "name=value&name=value..." in the given order, each value encoded; names are taken as
    // they are (they are the program's own).
    static CString Build(std::initializer_list<std::pair<const wchar_t*, CString>> fields);
    // The body of the link pages: "link=%s&uid=%s&sess=%s".
    static CString LinkBody(const CString& link, const CString& userId, const CString& sessionId);
};
