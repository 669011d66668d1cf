// httpfixture: starts (in the background) and stops the local HTTP server of the update-check
// tests, and checks its cipher.
//
//   httpfixture serve --root DIR --port-file FILE [--idle-exit SECONDS]
//       serves DIR on an ephemeral port of 127.0.0.1, writes the port to FILE and returns
//       once it listens; the server itself runs on, detached, until stopped or idle (600 s).
//       Every request is logged as "METHOD TARGET" to requests.log beside FILE.
//   httpfixture stop --port-file FILE
//   httpfixture selftest
#include "HttpServer.h"
#include "StoredCipher.h"
#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Option(int argc, char** argv, const char* name, const char* fallback = "")
{
    for (int i = 2; i + 1 < argc; ++i)
        if (strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return fallback;
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

void MakeDirs(const std::string& path)
{
    for (size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
            mkdir(path.substr(0, i).c_str(), 0755);
}

int Serve(const std::string& root, const std::string& portFile, int idleSeconds)
{
    if (root.empty() || portFile.empty())
        return 2;
    MakeDirs(root);
    MakeDirs(portFile.substr(0, portFile.rfind('/')));
    unlink(portFile.c_str());
    int listener = -1;
    int port = httpfixture::Listen(listener);
    if (port == 0) {
        perror("httpfixture: listen");
        return 1;
    }
    pid_t child = fork();
    if (child < 0)
        return 1;
    if (child > 0) {
        close(listener);
        int status = 0;
        waitpid(child, &status, 0);   // the first child leaves at once; the server is its child
        for (int i = 0; i < 100; ++i) {
            std::ifstream in(portFile);
            int written = 0;
            if (in >> written && written == port) {
                printf("%d\n", port);
                return 0;
            }
            usleep(50000);
        }
        fprintf(stderr, "httpfixture: the server did not start\n");
        return 1;
    }
    // Detach fully, so that the test runner does not wait on our output.
    setsid();
    if (fork() != 0)
        _exit(0);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    std::string temporary = portFile + ".tmp";
    {
        std::ofstream out(temporary);
        out << port << "\n";
    }
    rename(temporary.c_str(), portFile.c_str());
    // The request log lies beside the port file, where the Windows tests already look.
    httpfixture::Serve(listener, root, idleSeconds, portFile.substr(0, portFile.rfind('/') + 1) + "requests.log");
    unlink(portFile.c_str());
    _exit(0);
}

int Stop(const std::string& portFile)
{
    std::ifstream in(portFile);
    int port = 0;
    if (!(in >> port))
        return 0;   // nothing runs
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        const char request[] = "GET /__quit HTTP/1.0\r\n\r\n";
        send(fd, request, sizeof(request) - 1, 0);
        char buffer[256];
        while (recv(fd, buffer, sizeof(buffer), 0) > 0) {
        }
    }
    close(fd);
    return 0;
}

int SelfTest()
{
    // The stored-data key the client derives from its pass phrase, published with the server's brief.
    std::string key = Hex(httpfixture::DeriveStoredKey("tivrepolusak4827"));
    if (key != "32821447c1513d31c6e9950e71ccc3e4") {
        fprintf(stderr, "stored key %s\n", key.c_str());
        return 1;
    }
    std::string plain(140000, '\0');
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = char(i * 31 + i / 7);
    std::string cipher, back;
    if (!httpfixture::StoredCipher(plain, cipher) || !httpfixture::StoredCipher(cipher, back) || back != plain ||
        cipher.size() != plain.size()) {
        fprintf(stderr, "cipher does not round-trip\n");
        return 1;
    }
    // Every 65,000-byte piece starts from the IV: equal plain pieces give equal cipher pieces.
    std::string twice = plain.substr(0, 65000) + plain.substr(0, 65000);
    std::string twiceCipher;
    httpfixture::StoredCipher(twice, twiceCipher);
    if (twiceCipher.substr(0, 65000) != twiceCipher.substr(65000) || twiceCipher.substr(0, 65000) != cipher.substr(0, 65000)) {
        fprintf(stderr, "pieces do not restart from the IV\n");
        return 1;
    }
    printf("ok\n");
    return 0;
}

}

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "serve")
        return Serve(Option(argc, argv, "--root"), Option(argc, argv, "--port-file"),
                     std::stoi(Option(argc, argv, "--idle-exit", "600")));
    if (command == "stop")
        return Stop(Option(argc, argv, "--port-file"));
    if (command == "selftest")
        return SelfTest();
    fprintf(stderr, "usage: httpfixture serve --root DIR --port-file FILE [--idle-exit S] | stop --port-file FILE | selftest\n");
    return 2;
}
