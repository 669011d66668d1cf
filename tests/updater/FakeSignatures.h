// Code signatures for the update tests, by file content: a file whose first 64 bytes hold
// "unsigned" carries none, one holding "signed-by:NAME\n" is signed by NAME, and every other
// file by the update program's own signer. The running update program is signed by ownSigner
// (empty: unsigned). One at a time: it is the process's check while it lives.
#pragma once
#include "../../interface/services/CodeSignature.h"
#include "SeamSwap.h"
#include "UpdateTargets.h"
#include <windows.h>
#include <fstream>
#include <string>

namespace updtest {

class FakeSignatures {
public:
    FakeSignatures() : m_check(codesign::g_pCheck, CheckLiving) { Living() = this; }
    ~FakeSignatures() { Living() = nullptr; }
    FakeSignatures(const FakeSignatures&) = delete;
    FakeSignatures& operator=(const FakeSignatures&) = delete;

    bool Check(const wchar_t* path, std::wstring* signer)
    {
        std::wstring name;
        if (updatetargets::FileKey(path) == updatetargets::FileKey(updatetargets::OwnProgramPath())) {
            name = ownSigner;
        } else {
            std::ifstream in(path, std::ios::binary);
            if (!in)
                return false;
            std::string head(64, '\0');
            in.read(&head[0], 64);
            head.resize(size_t(in.gcount()));
            size_t by = head.find("signed-by:");
            size_t end = by == std::string::npos ? by : head.find('\n', by);
            if (head.find("unsigned") != std::string::npos)
                name.clear();
            else if (end != std::string::npos)
                name = std::wstring(head.begin() + long(by) + 10, head.begin() + long(end));
            else
                name = kOwn;
        }
        if (signer != nullptr)
            *signer = name;
        return !name.empty();
    }

    static constexpr const wchar_t* kOwn = L"CN=Corvane Test Publisher";
    std::wstring ownSigner = kOwn;

private:
    static FakeSignatures*& Living()
    {
        static FakeSignatures* living = nullptr;
        return living;
    }
    static bool CheckLiving(const wchar_t* path, std::wstring* signer) { return Living()->Check(path, signer); }

    testseam::Swap<codesign::CheckFn> m_check;
};

}
