// Where a connection hands the file data of H3 frames: set by the request that announced them.
#pragma once
#include <string>

namespace tovisrv {

class CUploadTarget {
public:
    virtual ~CUploadTarget() = default;
    // Deciphered bytes of one frame; `last` when it came without FLAG_MORE. Called on the
    // connection's thread. False is a protocol breach: the connection closes.
    virtual bool OnData(const std::string& data, bool last) = 0;
    // True once no more frames are expected; the connection then lets the target go.
    virtual bool Done() const = 0;
    // The connection closed (byRequest empty), or the request byRequest came while data was
    // still expected.
    virtual void OnAbandon(const std::string& byRequest) { (void)byRequest; }
};

}
