// One storage request as a command handler sees it: the store locked, the session resolved.
#pragma once
#include "ConnectionSession.h"
#include "Exchange.h"
#include "Store.h"

namespace tovisrv {

// Holds the store's lock from construction until Unlock() or the end; the index file is
// written on the way out when something changed.
class CStoreRequest {
public:
    explicit CStoreRequest(CExchange& exchange);
    ~CStoreRequest();
    CStoreRequest(const CStoreRequest&) = delete;
    CStoreRequest& operator=(const CStoreRequest&) = delete;

    CStore& Store() { return m_store; }
    ConnectionSession& Conn() { return m_conn; }
    CExchange& Exchange() { return m_exchange; }
    StoreConfig& Config() { return m_store.Config(); }

    // The session named by 171, or without 171 the one this connection used last; it
    // becomes the connection's current session. Unknown or expired: E0 1213 goes out.
    bool Authorize();
    UserAccount& Me() { return *m_user; }
    LoginSession& Session() { return *m_session; }

    std::string Field(uint8_t id) const { return m_exchange.Field(id); }
    bool Has(uint8_t id) const { return m_exchange.Has(id); }
    // A UTF-8 field as stored (surrogate pairs joined).
    std::string Text(uint8_t id) const;
    uint64_t Number(uint8_t id, uint64_t fallback = 0) const;

    // An item of the user's own tree (or one shared with the user); nullptr otherwise.
    StoreItem* Visible(const std::string& idxText);
    bool Live(const StoreItem& item) { return !m_store.InBin(item); }

    void Reply(std::vector<Record> records = {}) { m_exchange.Reply(std::move(records)); }
    void Error(const std::string& code, const std::string& message) { m_exchange.ReplyError("E0", code, message); }
    void Warning(const std::string& code, const std::string& message) { m_exchange.ReplyError("E1", code, message); }

    // `items` cut into pages as the paging switch says, with the trailer {44}; `lead` goes
    // before the first page's items. The next page needs the identical request (44 and
    // 171 aside) right after a page that ended in "Y".
    std::vector<Record> Page(std::vector<Record> items, const Record* lead = nullptr);

    void Unlock();

private:
    CExchange& m_exchange;
    CStore& m_store;
    ConnectionSession& m_conn;
    std::unique_lock<std::mutex> m_guard;
    UserAccount* m_user = nullptr;
    LoginSession* m_session = nullptr;
};

}
