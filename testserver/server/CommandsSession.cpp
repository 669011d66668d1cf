// Log-in and session commands with the option and list replies: A1-A5, B0-B5, H7, D5.
#include "CommandTable.h"
#include "NameText.h"
#include "StoreRequest.h"

namespace tovisrv {

namespace {

// The group ids from the root group down to the user's own, comma-separated.
std::string GroupPath(CStore& store, const UserAccount& user)
{
    std::vector<std::string> ids;
    std::string id = user.groupId;
    for (int depth = 0; !id.empty() && id != "0" && depth < 32; ++depth) {
        ids.insert(ids.begin(), id);
        const auto it = store.Groups().find(id);
        if (it == store.Groups().end())
            break;
        id = it->second.parent;
    }
    std::string out;
    for (const std::string& part : ids)
        out += (out.empty() ? "" : ",") + part;
    return out;
}

void HandleOptions(CExchange& exchange)
{
    CStoreRequest request(exchange);
    Record options;
    for (const auto& [id, value] : request.Config().a1)
        options[id] = value;
    request.Reply({options});
}

void HandleDomains(CExchange& exchange)
{
    CStoreRequest request(exchange);
    std::vector<Record> records = request.Config().domains;
    Record options;
    for (const auto& [id, value] : request.Config().a2)
        options[id] = value;
    records.push_back(options);
    request.Reply(records);
}

void HandleSamba(CExchange& exchange)
{
    exchange.Reply();
}

void HandleUpdates(CExchange& exchange)
{
    CStoreRequest request(exchange);
    request.Reply(request.Config().updates);
}

void HandleLanguages(CExchange& exchange)
{
    CStoreRequest request(exchange);
    std::vector<Record> records;
    for (const std::string& code : request.Config().languages)
        records.push_back({{1, code}});
    request.Reply(records);
}

void HandleLogin(CExchange& exchange)
{
    CStoreRequest request(exchange);
    const std::string id = request.Field(169);
    const bool sso = request.Field(76) == "Y";
    const bool force = request.Field(23) == "Y" || sso;
    bool domainKnown = false;
    for (const Record& domain : request.Config().domains)
        if (domain.count(177) && domain.at(177) == request.Field(177))
            domainKnown = true;
    const std::string password = request.Field(170);
    UserAccount* user = nullptr;
    bool passwordOk = false;
    // A web log-in: the token the web side issued (WEBTOKEN), with no password; used up by the
    // session it opens (a log-in refused as "elsewhere" may repeat it with force).
    std::string webToken;
    if (!id.empty() && id[0] == '#') {
        std::map<std::string, std::string>& tokens = request.Config().webTokens;
        const auto token = tokens.find(id.substr(1));
        if (token != tokens.end() && password.empty()) {
            user = request.Store().FindUser(token->second);
            passwordOk = user != nullptr;
            webToken = token->first;
        }
    } else {
        user = request.Store().FindUser(id);
        passwordOk = user && (password.empty() ? user->sso && sso : password == user->password);
    }
    if (!user || !passwordOk || !domainKnown || id.empty()) {
        request.Error("1101", "Invalid user id or password.");
        return;
    }
    CStore& store = request.Store();
    std::string sid;
    const std::vector<std::string> live = store.SessionsOf(user->id);
    const std::string asked = request.Field(171);
    for (const std::string& existing : live)
        if (existing == asked)
            sid = asked;
    if (sid.empty() && request.Config().singleSession && !live.empty()) {
        if (!force) {
            request.Error("2210", "Already logged in elsewhere. Log in here?");
            return;
        }
        store.CloseUserSessions(user->id);
        exchange.Connection().Log("B0: ended the other sessions of " + user->id);
    }
    if (!webToken.empty())
        request.Config().webTokens.erase(webToken);
    if (sid.empty())
        sid = store.OpenSession(user->id);
    else
        store.FindSession(sid);
    request.Conn().sid = sid;
    Record reply;
    reply[171] = sid;
    reply[169] = CNameText::ToWire(user->id);
    reply[183] = CNameText::ToWire(user->name);
    reply[185] = CNameText::ToWire(user->position);
    reply[208] = user->lastLoginTime;
    reply[130] = user->lastLoginIp;
    reply[26] = user->resetPassword ? "Y" : "N";
    reply[79] = "N";
    reply[239] = GroupPath(store, *user);
    user->lastLoginTime = CStore::Now();
    user->lastLoginIp = "127.0.0.1";
    exchange.Connection().Log("B0: " + user->id + " logged in");
    request.Reply({reply});
}

void HandleLogout(CExchange& exchange)
{
    CStoreRequest request(exchange);
    request.Store().CloseSession(request.Has(171) ? request.Field(171) : request.Conn().sid);
    request.Conn().sid.clear();
    request.Reply();
}

void HandleKeepAlive(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    request.Reply({{{172, request.Config().a1.count(172) ? request.Config().a1[172] : "60"}}});
}

void HandlePasswordChange(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    UserAccount& me = request.Me();
    if (request.Has(170) ? request.Field(170) != me.password : !me.resetPassword) {
        request.Error("1103", "The current password is not correct.");
        return;
    }
    if (request.Field(182).empty()) {
        request.Error("1312", "The new password is empty.");
        return;
    }
    me.password = request.Field(182);
    me.resetPassword = false;
    request.Reply();
}

void HandleAlerts(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    Record counters = {{223, "0"}, {226, "0"}, {227, "0"}, {190, "0"}, {191, "0"}, {233, "0"}, {234, "0"},
                       {224, "60"}, {132, "0"}, {131, std::to_string(request.Me().shortcuts.size())}};
    for (const auto& [id, value] : request.Config().b4)
        counters[id] = value;
    request.Reply({counters});
}

void HandleQuota(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    Record quota = {{190, std::to_string(request.Me().quotaBytes)},
                    {191, std::to_string(request.Store().UsedBytes(request.Me().id))},
                    {224, "60"}};
    for (const auto& [id, value] : request.Config().b5)
        quota[id] = value;
    request.Reply({quota});
}

void HandleBandwidth(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    request.Reply({{{238, request.Config().bandwidth}}});
}

void HandleReceivedCount(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    request.Reply({{{201, std::to_string(request.Me().receivedUnread)}}});
}

const CCommandFamily kSessionCommands{
    {"A1", HandleOptions},
    {"A2", HandleDomains},
    {"A3", HandleSamba},
    {"A4", HandleUpdates},
    {"A5", HandleLanguages},
    {"B0", HandleLogin},
    {"B1", HandleLogout},
    {"B2", HandleKeepAlive},
    {"B3", HandlePasswordChange},
    {"B4", HandleAlerts},
    {"B5", HandleQuota},
    {"H7", HandleBandwidth},
    {"D5", HandleReceivedCount},
};

}

}
