// Receives the H3 data announced by the transport test command Z3 and reports what came.
#include "UploadSink.h"
#include "Checksum.h"
#include "TestPattern.h"

namespace tovisrv {

namespace {
constexpr size_t kSizesKept = 1000;
}

CUploadSink::CUploadSink(CConnection& connection, uint64_t expected) : m_connection(connection)
{
    m_report.expected = expected;
    Publish();
}

bool CUploadSink::OnData(const std::string& data, bool last)
{
    if (m_report.bytes + data.size() > m_report.expected) {
        m_connection.Log("upload sent " + std::to_string(m_report.bytes + data.size()) +
                         " bytes, " + std::to_string(m_report.expected) + " announced");
        return false;
    }
    for (size_t i = 0; i < data.size() && m_report.patternOk; ++i)
        if (static_cast<uint8_t>(data[i]) != TestPatternByte(m_report.bytes + i))
            m_report.patternOk = false;
    m_adler = CChecksum::Update(m_adler, data.data(), data.size());
    m_report.bytes += data.size();
    ++m_report.frames;
    if (m_report.frameSizes.size() < kSizesKept)
        m_report.frameSizes.push_back(data.size());
    m_report.complete = last;
    Publish();
    return true;
}

void CUploadSink::OnAbandon(const std::string& byRequest)
{
    (void)byRequest;
    m_connection.Log("upload abandoned after " + std::to_string(m_report.bytes) + " bytes");
    Publish();
}

void CUploadSink::Publish()
{
    m_report.checksum = m_report.bytes > 0 ? m_adler : 0;
    m_connection.Slot<UploadReport>() = m_report;
    m_connection.State().SetUpload(m_report);
}

}
