// Names and texts as the client sends them: CESU-8 in, UTF-8 kept, CESU-8 out; name rules.
#pragma once
#include <string>
#include <vector>

namespace tovisrv {

class CNameText {
public:
    // The client writes each UTF-16 unit on its own; a surrogate pair arrives as two 3-byte
    // sequences. Joined into proper UTF-8 for storage; anything else passes unchanged.
    static std::string FromWire(const std::string& cesu);
    // 4-byte UTF-8 sequences split into two 3-byte surrogate sequences: the client cannot
    // decode the 4-byte form.
    static std::string ToWire(const std::string& utf8);
    // ASCII letters folded: names are unique per folder ignoring case, as the client compares.
    static std::string Fold(const std::string& text);
    static bool SameName(const std::string& a, const std::string& b) { return Fold(a) == Fold(b); }
    // True for a name the client may create: not empty, below 256 UTF-16 units, none of
    // \ / : * ? " < > | or control characters, not "." / "..", no device name.
    static bool IsValidName(const std::string& utf8);
    // UTF-16 units of a UTF-8 text.
    static size_t Units(const std::string& utf8);
    // "a/b/c" -> {"a","b","c"}; empty parts dropped.
    static std::vector<std::string> SplitPath(const std::string& path);
    // At most `bytes` bytes, never ending inside a UTF-8 sequence.
    static std::string Cut(const std::string& utf8, size_t bytes);
};

}
