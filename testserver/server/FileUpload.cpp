// Takes an upload's H3 data into the file's partial copy and puts the file in place at the end.
#include "FileUpload.h"
#include "NameText.h"
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace tovisrv {

CFileUpload::CFileUpload(CConnection& connection, CStore& store, uint64_t idx, const std::string& partialPath,
                         uint64_t offset, uint64_t size, std::string clientMtime, std::string sid)
    : m_connection(connection), m_store(store), m_idx(idx), m_path(partialPath), m_offset(offset), m_size(size),
      m_clientMtime(std::move(clientMtime)), m_sid(std::move(sid))
{
}

CFileUpload::~CFileUpload()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CFileUpload::Open()
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (m_fd < 0)
        return false;
    return ::ftruncate(m_fd, static_cast<off_t>(m_offset)) == 0 &&
           ::lseek(m_fd, static_cast<off_t>(m_offset), SEEK_SET) == static_cast<off_t>(m_offset);
}

bool CFileUpload::OnData(const std::string& data, bool last)
{
    if (m_done)
        return false;
    if (m_offset + m_received + data.size() > m_size) {
        m_connection.Log("upload of " + std::to_string(m_idx) + " sent more than its " + std::to_string(m_size) +
                         " bytes");
        m_done = true;
        return false;
    }
    size_t at = 0;
    while (at < data.size()) {
        const ssize_t written = ::write(m_fd, data.data() + at, data.size() - at);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_connection.Log("upload of " + std::to_string(m_idx) + " cannot be written");
            m_done = true;
            return false;
        }
        at += static_cast<size_t>(written);
    }
    m_received += data.size();
    if (m_offset + m_received == m_size)
        Finish();
    else if (last)
        EndEarly();
    return true;
}

void CFileUpload::OnAbandon(const std::string& byRequest)
{
    m_connection.Log("upload of " + std::to_string(m_idx) + " stopped at " + std::to_string(m_offset + m_received) +
                     " of " + std::to_string(m_size) + " bytes; the partial copy is kept");
    // A cancel is the user's own doing and needs no line in the summary.
    if (byRequest == "H6")
        return;
    auto guard = m_store.Lock();
    ReportShort("The upload stopped before the whole file arrived.");
}

void CFileUpload::ReportShort(const char* why)
{
    LoginSession* session = m_store.FindSession(m_sid);
    if (!session)
        return;
    const StoreItem* item = m_store.Find(m_idx);
    session->uploadErrors.push_back({{44, "E"}, {181, CNameText::ToWire(item ? item->name : std::string())},
                                     {255, why}, {173, std::to_string(m_idx)}});
}

void CFileUpload::Finish()
{
    m_done = true;
    ::close(m_fd);
    m_fd = -1;
    auto guard = m_store.Lock();
    StoreItem* item = m_store.Find(m_idx);
    LoginSession* session = m_store.FindSession(m_sid);
    if (!item) {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
        return;
    }
    if (session) {
        // An earlier attempt that stopped short is made good by this one.
        const std::string idx = std::to_string(m_idx);
        auto& lines = session->uploadErrors;
        lines.erase(std::remove_if(lines.begin(), lines.end(), [&idx](const Record& line) {
                        const auto it = line.find(173);
                        return it != line.end() && it->second == idx;
                    }), lines.end());
    }
    if (!Complete(m_store, *item, m_clientMtime, session ? session->user : item->owner) && session)
        session->uploadErrors.push_back({{44, "E"}, {181, CNameText::ToWire(item->name)},
                                         {255, "The file could not be stored."}, {173, std::to_string(m_idx)}});
    m_connection.Log("upload of " + std::to_string(m_idx) + " complete, " + std::to_string(m_size) + " bytes");
    m_store.SaveIndex();
}

void CFileUpload::EndEarly()
{
    m_done = true;
    auto guard = m_store.Lock();
    m_connection.Log("upload of " + std::to_string(m_idx) + " ended early at " +
                     std::to_string(m_offset + m_received) + " bytes");
    ReportShort("The upload ended before the whole file arrived.");
}

bool CFileUpload::Complete(CStore& store, StoreItem& item, const std::string& clientMtime, const std::string& saver)
{
    const std::string partial = store.PartialPath(item);
    std::error_code ec;
    if (!std::filesystem::exists(partial, ec)) {
        std::filesystem::create_directories(std::filesystem::path(partial).parent_path(), ec);
        if (std::FILE* file = std::fopen(partial.c_str(), "wb"))
            std::fclose(file);
    }
    if (!store.ReplaceContent(item, partial, saver))
        return false;
    item.incomplete = false;
    item.expected = 0;
    if (!clientMtime.empty())
        item.clientMtime = clientMtime;
    const std::string shown = CStore::DisplayTime(item.clientMtime);
    if (!shown.empty())
        item.mtime = shown;
    return true;
}

}
