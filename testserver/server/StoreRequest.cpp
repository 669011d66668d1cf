// One storage request as a command handler sees it: the store locked, the session resolved.
#include "StoreRequest.h"
#include "NameText.h"
#include "RecordCodec.h"
#include <cstdlib>

namespace tovisrv {

CStoreRequest::CStoreRequest(CExchange& exchange)
    : m_exchange(exchange),
      m_store(CStore::Of(exchange.State())),
      m_conn(exchange.Connection().Slot<ConnectionSession>()),
      m_guard(m_store.Lock())
{
    // A page continues only when its request follows the previous page at once.
    const std::string& command = exchange.Command();
    if (command != "D0" && command != "D2" && command != "C0" && command != "C1")
        m_conn.pageKey.clear();
}

CStoreRequest::~CStoreRequest()
{
    if (!m_guard.owns_lock())
        m_guard.lock();
    m_store.SaveIndex();
}

void CStoreRequest::Unlock()
{
    if (m_guard.owns_lock()) {
        m_store.SaveIndex();
        m_guard.unlock();
    }
}

bool CStoreRequest::Authorize()
{
    const std::string sid = Has(171) ? Field(171) : m_conn.sid;
    m_session = sid.empty() ? nullptr : m_store.FindSession(sid);
    m_user = m_session ? m_store.FindUser(m_session->user) : nullptr;
    if (!m_user) {
        Error("1213", "The session has ended. Please log in again.");
        return false;
    }
    m_conn.sid = sid;
    return true;
}

std::string CStoreRequest::Text(uint8_t id) const
{
    return CNameText::FromWire(Field(id));
}

uint64_t CStoreRequest::Number(uint8_t id, uint64_t fallback) const
{
    const std::string text = Field(id);
    return text.empty() ? fallback : std::strtoull(text.c_str(), nullptr, 10);
}

StoreItem* CStoreRequest::Visible(const std::string& idxText)
{
    StoreItem* item = m_store.Find(idxText);
    if (!item || !m_user)
        return nullptr;
    return item->owner == m_user->id ? item : nullptr;
}

std::vector<Record> CStoreRequest::Page(std::vector<Record> items, const Record* lead)
{
    const size_t size = Config().pageSize;
    std::vector<Record> out;
    if (size == 0) {
        if (lead)
            out.push_back(*lead);
        out.insert(out.end(), items.begin(), items.end());
        out.push_back({{44, "N"}});
        m_conn.pageKey.clear();
        return out;
    }
    std::vector<Record> key = m_exchange.Request().records;
    for (Record& record : key) {
        record.erase(44);
        record.erase(171);
    }
    const std::string pageKey = m_exchange.Command() + CRecordCodec::EncodePayload(key, false);
    size_t start = 0;
    if (pageKey == m_conn.pageKey && m_conn.pageNext > 0 && m_conn.pageNext < items.size())
        start = m_conn.pageNext;
    if (start == 0 && lead)
        out.push_back(*lead);
    const size_t end = std::min(items.size(), start + size);
    out.insert(out.end(), items.begin() + static_cast<long>(start), items.begin() + static_cast<long>(end));
    const bool more = end < items.size();
    out.push_back({{44, more ? "Y" : "N"}});
    m_conn.pageKey = more ? pageKey : std::string();
    m_conn.pageNext = more ? end : 0;
    return out;
}

}
