// Control verbs for every stage: lifetime, cipher policy, fault injection and what was seen.
#include "CommandTable.h"
#include "ControlTable.h"
#include "Fault.h"
#include <cstdio>

namespace tovisrv {

namespace {

std::string Ping(CControlRequest&)
{
    return "OK";
}

std::string Help(CControlRequest& request)
{
    if (!request.Args().empty() && (request.Args()[0] == "FAULT" || request.Args()[0] == "fault")) {
        std::string kinds = Fault::KindList();
        for (char& c : kinds)
            if (c == '\n')
                c = ';';
        return "OK " + kinds;
    }
    return "OK " + CControlTable::Instance().Usage();
}

std::string Quit(CControlRequest& request)
{
    request.RequestStop();
    return "OK";
}

std::string Reset(CControlRequest& request)
{
    request.State().Reset();
    return "OK";
}

std::string Policy(CControlRequest& request)
{
    if (!request.Args().empty()) {
        std::string error;
        if (!request.State().SetPolicy(request.Rest(), error))
            return "ERR " + error;
    }
    return "OK " + request.State().PolicyText();
}

std::string Cipher(CControlRequest& request)
{
    const std::string last = request.State().LastCipher();
    return last.empty() ? "OK none" : "OK " + last;
}

std::string AddFault(CControlRequest& request)
{
    Fault fault;
    std::string error;
    if (!Fault::Parse(request.Args(), request.Text(), fault, error))
        return "ERR " + error;
    request.State().Faults().Add(fault);
    return "OK " + fault.Describe();
}

std::string ListFaults(CControlRequest& request)
{
    const std::vector<Fault> faults = request.State().Faults().List();
    std::string out = "OK n=" + std::to_string(faults.size());
    for (const Fault& f : faults)
        out += "; " + f.Describe();
    return out;
}

std::string Last(CControlRequest& request)
{
    RequestNote note;
    if (!request.State().LastRequest(request.Param("cmd"), note))
        return "ERR no such request yet";
    std::string records;
    for (size_t i = 0; i < note.records.size(); ++i) {
        if (i)
            records += "/";
        bool first = true;
        for (const auto& [id, value] : note.records[i]) {
            records += (first ? "" : ",") + std::to_string(id) + ":" + EncodeHex(value);
            first = false;
        }
    }
    char flags[3];
    std::snprintf(flags, sizeof flags, "%02X", note.flags);
    return "OK conn=" + std::to_string(note.connection) + " cmd=" + note.command + " flags=" + flags +
           " frames=" + std::to_string(note.frames) + " records=" + std::to_string(note.records.size()) +
           " rec=" + records;
}

std::string Count(CControlRequest& request)
{
    const std::string command = request.Param("cmd");
    if (!command.empty())
        return "OK requests=" + std::to_string(request.State().RequestCount(command));
    return "OK " + request.State().Counters();
}

std::string Upload(CControlRequest& request)
{
    const UploadReport r = request.State().Upload();
    std::string sizes;
    for (size_t i = 0; i < r.frameSizes.size(); ++i)
        sizes += (i ? "," : "") + std::to_string(r.frameSizes[i]);
    return "OK expected=" + std::to_string(r.expected) + " bytes=" + std::to_string(r.bytes) +
           " frames=" + std::to_string(r.frames) + " complete=" + (r.complete ? "Y" : "N") +
           " pattern=" + (r.patternOk ? "Y" : "N") + " checksum=" + std::to_string(r.checksum) +
           " sizes=" + sizes;
}

std::string Commands(CControlRequest&)
{
    std::string out = "OK";
    for (const std::string& command : CCommandTable::Instance().Commands())
        out += " " + command;
    return out;
}

const CControlFamily kBasicControls{
    {"PING", "PING", Ping},
    {"HELP", "HELP [FAULT]", Help},
    {"QUIT", "QUIT", Quit},
    {"RESET", "RESET", Reset},
    {"POLICY", "POLICY [rotate [NAME,...] | fixed NAME | NAME | raw ALGO MODE BITS]", Policy},
    {"CIPHER", "CIPHER", Cipher},
    {"FAULT", "FAULT KIND [key=value ...] [count=N|*] [skip=N] [cmd=XX] [-- text]", AddFault},
    {"FAULTS", "FAULTS", ListFaults},
    {"LAST", "LAST [cmd=XX]", Last},
    {"COUNT", "COUNT [cmd=XX]", Count},
    {"UPLOAD", "UPLOAD", Upload},
    {"COMMANDS", "COMMANDS", Commands},
};

}

}
