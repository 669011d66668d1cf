// Takes an upload's H3 data into the file's partial copy and puts the file in place at the end.
#pragma once
#include "Connection.h"
#include "Store.h"
#include "UploadTarget.h"

namespace tovisrv {

// The partial copy on disk is the truth about what arrived: a connection that goes away
// leaves it behind, and the next announce offers it for resuming.
class CFileUpload : public CUploadTarget {
public:
    // Data continues the partial copy at `offset` (cut there) until the file has `size` bytes.
    CFileUpload(CConnection& connection, CStore& store, uint64_t idx, const std::string& partialPath,
                uint64_t offset, uint64_t size, std::string clientMtime, std::string sid);
    ~CFileUpload() override;

    bool Open();
    bool OnData(const std::string& data, bool last) override;
    bool Done() const override { return m_done; }
    void OnAbandon(const std::string& byRequest) override;

    // The partial copy becomes the file's content (the caller holds the store's lock).
    static bool Complete(CStore& store, StoreItem& item, const std::string& clientMtime, const std::string& saver);

private:
    void Finish();
    void EndEarly();
    // The H5 line of a file that stopped short of its announced size (the caller holds the
    // store's lock); a later complete upload of the file takes it back.
    void ReportShort(const char* why);

    CConnection& m_connection;
    CStore& m_store;
    const uint64_t m_idx;
    const std::string m_path;
    const uint64_t m_offset;
    const uint64_t m_size;
    const std::string m_clientMtime;
    const std::string m_sid;
    int m_fd = -1;
    uint64_t m_received = 0;
    bool m_done = false;
};

}
