// toviserver: the protocol test server that the client's tests talk to (native Linux).
//
// What it is
//   An independent implementation of the server side of the client's protocol: frames and
//   length prefixes, records, the A0 key exchange with SEED/ARIA (OpenSSL 3; SEED needs the
//   legacy provider), file-data streams, and a control channel through which tests set up
//   state and inject faults. It shares no code with connect/.
//
// Running it
//   toviserver --state DIR [--port N] [--control-port N] [--port-file PATH]
//              [--policy POLICY] [--parent-pid PID] [--idle-exit SECONDS]
//              [--exit-with-control] [--exit-on-stdin-eof] [--remove-state] [--verbose]
//              [--demo] [--host TEXT]
//   --demo makes the demo account (user "demo", password "demo1234") with a few folders and
//   files; --host sets the domain record's address (168), which must equal the host text the
//   client is configured with (default 127.0.0.1). RESET removes the demo account too.
//   Both ports default to ephemeral ones on 127.0.0.1. Once listening it prints
//   "PORT CONTROLPORT" on standard output and, with --port-file, writes the same line to that
//   file (written aside and renamed, so a reader never sees half of it). DIR holds server.log
//   and, in later stages, the server's users and files; --remove-state deletes it at the end.
//   The run ends on the control command QUIT, SIGTERM/SIGINT, or the first lifetime rule that
//   fires: --parent-pid (that process is gone), --idle-exit (no connection, no control
//   connection and no traffic for that long), --exit-with-control (the last control
//   connection closed), --exit-on-stdin-eof.
//   testserver/start-server.sh starts it in the background and prints "PORT CONTROLPORT".
//
// Cipher policy (--policy, control POLICY)
//   "rotate" (default): each A0 reply takes the next of seed-128-ofb, seed-128-cfb,
//   aria-128-ofb, aria-128-cfb, aria-192-ofb, aria-192-cfb, aria-256-ofb, aria-256-cfb.
//   "rotate NAME,NAME" rotates over those; "fixed NAME" or "NAME" always announces one
//   ("seed-256-ofb" announces 256 bits, which the client keys as SEED-128). "raw ALGO MODE
//   BITS" announces exactly those digits ("raw 1 1 128" = SEED-ECB, which a client must
//   refuse); the connection then has no cipher and closes on the first enciphered request.
//
// Control channel (second port): text lines, one "OK ..." or "ERR ..." line per line.
//   PING | HELP [FAULT] | QUIT | RESET (faults, policy, observations, stage state)
//   POLICY [POLICY]            set or show the cipher policy
//   CIPHER                     "OK <name> <pass phrase>" of the newest A0, or "OK none"
//   FAULT KIND [key=value...] [count=N|*] [skip=N] [cmd=XX] [-- text]
//                              the next N exchanges (default 1; * = until RESET), or the next
//                              N whose request command is XX, get the fault; skip=N lets the
//                              first N of them pass (a later page or continuation). Kinds:
//       silent                 read the request, never answer (the client's receive time-out)
//       close                  close the connection instead of answering
//       close-mid-frame bytes=K  send K bytes of the reply frame (default half), then close
//       prefix hex=HH..        the first reply frame's length prefix is these bytes (80, 00, F8, C141)
//       flags value=HH         flags byte of every reply frame (80 and 83 break bits 0-4)
//       length value=N [size=K]  the first frame's length value N in a K-byte prefix (2 is
//                              below the header; 0x1FFFFD with size=4 passes the 2 MB frame)
//       truncate [bytes=K]     cut K bytes (default 1) off the reply payload: a record cut short
//       wrong-fixed [id=N] [delta=D]  a fixed-size field sent D bytes longer/shorter
//       payload hex=HH..       the reply payload is these bytes (then enciphered as usual)
//       delay ms=N             answer N ms late
//       error [reply=E0|E1|E2] [code=N] -- message   answer {240: code, 255: message}
//       fragment [records=K]   reply frames of at most K records each (FLAG_MORE on all but last)
//       mismatch [command=XX]  the last reply frame (for a stream: the last data frame)
//                              carries another command
//       rekey key=<32 chars>   re-key the next stream after its header with this phrase
//       cut-stream bytes=N     close after N bytes of file data (cmd=H3: of an upload)
//       short-stream bytes=N   end a stream cleanly after N bytes of file data
//       long-stream bytes=N    send N bytes beyond the file's end
//       slow-stream ms=N       wait N ms before each data frame
//       drop-frame [frame=N]   leave out data frame N (default 1; below 0 counts from the end)
//       repeat-frame [frame=N] send data frame N twice
//       swap-frames [frame=N]  send data frame N after the next one (default -2)
//       open-end               the last data frame keeps FLAG_MORE
//   FAULTS                     the faults still waiting
//   LAST [cmd=XX]              the newest request: "OK conn=N cmd=XX flags=HH frames=N
//                              records=N rec=ID:HEX,ID:HEX/ID:HEX" ("/" between records)
//   COUNT                      "OK connections=N open=N exchanges=N a0=N"
//   UPLOAD                     the newest Z3 upload: expected, bytes, frames, complete,
//                              pattern, checksum, sizes
//   COMMANDS                   the protocol commands the server answers
//
// Protocol commands: A0 (CommandsConnection.cpp), the transport test commands Z1-Z5 that the
// client never sends (CommandsTransport.cpp), and the storage commands of the Commands*.cpp
// files, which work on CStore (accounts, sessions, the item tree; see Store.h and the set-up
// verbs in ControlStore.cpp). Any other command gets E0 1500.
// Each exchange's reply is enciphered once A0 has keyed the connection (flags 0x81; 0xA1 on
// all but the last fragment); every fragment of a fragmented request is answered with an
// empty "Z0" message; H3 data goes to the upload a request announced and is never answered.
//
// From the Windows tests under Wine
//   127.0.0.1 reaches the server from Wine. Wine runs a Linux program named in CreateProcess
//   (it gets no process handle back). A test program can start its own server:
//     CreateProcessW(L"T:\\native\\bin\\start-server.sh", L"start-server.sh --port-file
//       T:\\scratch\\<name>\\ports --exit-with-control", ...)
//   (T: is the build root; start-server.sh turns T:\ paths into Linux ones), wait until the
//   ports file appears, read "PORT CONTROLPORT", and keep one control connection open for the
//   whole run: when the test program ends, however it ends, the server ends too. Faults
//   and the cipher policy belong to the whole server, so each test program gets a server of
//   its own and sends RESET between its tests. A ctest fixture (FIXTURES_SETUP running
//   start-server.sh, FIXTURES_CLEANUP sending QUIT with start-server.sh --stop PORTFILE)
//   suits test programs that share one server and inject no faults.
#include "Store.h"
#include "StoreSetup.h"
#include "TestServer.h"
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

using namespace tovisrv;

namespace {

volatile std::sig_atomic_t g_signalled = 0;

void OnSignal(int)
{
    g_signalled = 1;
}

void Usage(std::FILE* out)
{
    std::fprintf(out,
        "usage: toviserver --state DIR [--port N] [--control-port N] [--port-file PATH]\n"
        "                  [--policy POLICY] [--parent-pid PID] [--idle-exit SECONDS]\n"
        "                  [--exit-with-control] [--exit-on-stdin-eof] [--remove-state] [--verbose]\n"
        "                  [--demo] [--host TEXT]\n");
}

bool WritePortFile(const std::string& path, const std::string& line)
{
    const std::string temp = path + ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "w");
    if (!file)
        return false;
    const bool ok = std::fputs(line.c_str(), file) >= 0;
    if (std::fclose(file) != 0 || !ok)
        return false;
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

}

int main(int argc, char** argv)
{
    ServerOptions options;
    LifetimeOptions lifetime;
    std::string portFile;
    bool removeState = false;
    bool demo = false;
    std::string host;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--state") options.stateDir = value();
        else if (arg == "--port") options.port = std::atoi(value().c_str());
        else if (arg == "--control-port") options.controlPort = std::atoi(value().c_str());
        else if (arg == "--port-file") portFile = value();
        else if (arg == "--policy") options.policy = value();
        else if (arg == "--parent-pid") lifetime.parentPid = static_cast<pid_t>(std::atol(value().c_str()));
        else if (arg == "--idle-exit") lifetime.idleExitSeconds = std::atof(value().c_str());
        else if (arg == "--exit-with-control") lifetime.exitWithControl = true;
        else if (arg == "--exit-on-stdin-eof") lifetime.exitOnStdinEof = true;
        else if (arg == "--remove-state") removeState = true;
        else if (arg == "--verbose") options.logToStderr = true;
        else if (arg == "--demo") demo = true;
        else if (arg == "--host") host = value();
        else if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "unknown option %s\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }
    if (options.stateDir.empty()) {
        Usage(stderr);
        return 2;
    }

    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    int status = 0;
    {
        CTestServer server(options);
        std::string error;
        if (!server.Start(error)) {
            std::fprintf(stderr, "toviserver: %s\n", error.c_str());
            return 1;
        }
        if (demo || !host.empty()) {
            CStore& store = CStore::Of(server.State());
            auto guard = store.Lock();
            if (!host.empty()) {
                for (Record& domain : store.Config().domains)
                    domain[168] = host;
                store.Config().linkHost = host;
            }
            if (demo && !CStoreSetup::MakeDemo(store, host, error)) {
                std::fprintf(stderr, "toviserver: demo account: %s\n", error.c_str());
                return 1;
            }
            store.SaveIndex();
        }
        const std::string ports = std::to_string(server.Port()) + " " + std::to_string(server.ControlPort()) + "\n";
        if (!portFile.empty() && !WritePortFile(portFile, ports)) {
            std::fprintf(stderr, "toviserver: cannot write %s: %s\n", portFile.c_str(), std::strerror(errno));
            status = 1;
        } else {
            std::fputs(ports.c_str(), stdout);
            std::fflush(stdout);
            lifetime.signalFlag = &g_signalled;
            const std::string reason = server.RunUntilStopped(lifetime);
            server.State().Log().Write(0, "ending: " + reason);
        }
        server.Stop();
    }
    if (removeState) {
        std::error_code ec;
        std::filesystem::remove_all(options.stateDir, ec);
    }
    return status;
}
