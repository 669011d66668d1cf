// Protocol records, error codes, flags and window messages that the connection library shares
// with its callers.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Connection error codes: what protocol operations return (0 is success, -1 means no
// connection could be made), and what the result block holds after a client-side failure.
#define IXO_SOCK_ERR_CREATE_SOCK        1
#define IXO_SOCK_ERR_GET_HOST           2
#define IXO_SOCK_ERR_CONNECT            3
#define IXO_SOCK_ERR_CREATE_RECVTHREAD  4
#define IXO_SOCK_ERR_FIELD_LEN          5
#define IXO_SOCK_ERR_CMD_MISMATCH       6
#define IXO_SOCK_ERR_RECORD_SHORT       7
#define IXO_SOCK_ERR_INVALID_SOCKET     8
#define IXO_SOCK_ERR_SEND               9
#define IXO_SOCK_ERR_RECV               10
#define IXO_SOCK_ERR_FRAME_LEN          11
#define IXO_SOCK_ERR_FLAGS              12
#define IXO_SOCK_ERR_LEN_RANGE          13
#define IXO_SOCK_ERR_LEN_PREFIX         14
#define IXO_SOCK_ERR_KEY_SETUP          15
#define IXO_SOCK_ERR_ENCRYPT            17
#define IXO_SOCK_ERR_DECRYPT            18
#define IXO_SOCK_ERR_TIMEOUT            19

// Result code of a download the caller cancelled; the result message stays empty.
#define IXO_DOWNLOAD_CANCELLED          1033

// Frame flags. Bits 0-4 are always 00001.
#define FLAG_MORE       0x20
#define FLAG_ENCRYPTED  0x80

#define FRAME_BUFFER_SIZE 0x200000
#define RECORD_SEPARATOR  0xFE
#define FILE_PIECE_SIZE   65000

// Commands in host form: first letter in the high byte.
#define PROT_CMD(a, b) static_cast<uint16_t>((static_cast<unsigned>(a) << 8) | static_cast<unsigned>(b))
#define C_SECURE_CODE   PROT_CMD('A', '0')
#define C_ERROR         PROT_CMD('E', '0')
#define C_ERROR_WARN    PROT_CMD('E', '1')
#define C_ERROR_OTHER   PROT_CMD('E', '2')
#define C_UPLOAD_DATA   PROT_CMD('H', '3')
#define C_DNLOAD_FILE   PROT_CMD('H', '4')

// Trace categories.
#define TRACE_SEND      1
#define TRACE_RECV_OK   1024
#define TRACE_ERROR     2048

// Sent to the window given to an upload or download (values are WM_USER based; include
// windows.h where they are used).
#define WM_UPLOAD_PROGRESS          (WM_USER + 6)
#define WM_UPLOAD_THROTTLE          (WM_USER + 7)
#define WM_DOWNLOAD_PROGRESS        (WM_USER + 8)
#define WM_DOWNLOAD_QUERY_CANCEL    (WM_USER + 9)
#define WM_UPLOAD_RESUME_QUERY      (WM_USER + 22)
#define WM_UPLOAD_POLICY_PROGRESS   (WM_USER + 56)

// Replies of the upload progress messages.
#define UPLOAD_REPLY_CANCEL 2
#define UPLOAD_REPLY_PAUSE  3

// lParam of WM_UPLOAD_POLICY_PROGRESS: the policy key cut to 14 characters, zero-filled.
struct _UPLOAD_POLICY_PROGRESS {
    wchar_t key[16];
    uint64_t bytes;
};

// One record: field id -> value bytes (zeros included), walked in ascending id order.
typedef std::map<unsigned char, std::string> ProtRecord;

// One protocol message.
struct _PROT {
    uint32_t length = 0;        // frame length value: payload bytes + 3
    uint32_t prefixSize = 0;    // bytes of the length prefix, 1-4
    uint8_t flags = 0;
    uint16_t command = 0;       // host form ("B2" = 0x4232)
    std::vector<ProtRecord> records;
};

// The result block: empty message = success. Written only by error replies and failures.
struct _RESULT_INFO {
    uint32_t nReplyCmd;         // E0, E1 or E2 (E0 also for the client's own failures)
    int nResultCode;            // server code (field 240) or client error code; -1: no connection
    wchar_t wszMessage[256];
};
