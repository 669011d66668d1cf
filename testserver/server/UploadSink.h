// Receives the H3 data announced by the transport test command Z3 and reports what came.
#pragma once
#include "Connection.h"
#include "ServerState.h"
#include "UploadTarget.h"

namespace tovisrv {

// The report goes to the connection (read back by Z4) and to the server (control UPLOAD)
// after every frame, so that a client that stops half-way still leaves it behind.
class CUploadSink : public CUploadTarget {
public:
    CUploadSink(CConnection& connection, uint64_t expected);

    bool OnData(const std::string& data, bool last) override;
    bool Done() const override { return m_report.complete; }
    void OnAbandon(const std::string& byRequest) override;

private:
    void Publish();

    CConnection& m_connection;
    UploadReport m_report;
    uint32_t m_adler = 1;
};

}
