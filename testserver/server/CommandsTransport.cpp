// Test-only commands for the transport tests; the client never sends a Z command.
//
//   Z0  (reply only) answers each non-final fragment of a fragmented request.
//   Z1  echo: the reply carries the request's records unchanged.
//   Z2  file stream: {192: bytes, 204: start offset (opt), 159: frame size in 65,000-byte
//       pieces 1-32 (opt, 2), 9: 32-byte download key (opt, re-keys after the header),
//       228: header text (opt)} -> H4 header, then H4 data frames of the test pattern
//       (byte i of the file = i mod 251) from the offset.
//   Z3  announce an upload: {192: bytes}; the H3 frames that follow are taken, unanswered.
//   Z4  upload result on this connection: {192: bytes taken, 205: Adler-32 (0 for none),
//       166: frames, 44: "Y" when the last frame came without FLAG_MORE, 45: "Y" when every
//       byte matched the test pattern}.
//   Z5  bulk reply: {166: records (opt, 1), 192: bytes per record} -> that many records,
//       each {101: pattern bytes}.
#include "CommandTable.h"
#include "Exchange.h"
#include "TestPattern.h"
#include "UploadSink.h"
#include <cstdlib>

namespace tovisrv {

namespace {

constexpr uint64_t kBulkLimit = 64ull << 20;

uint64_t Number(const CExchange& exchange, uint8_t id, uint64_t fallback)
{
    const std::string text = exchange.Field(id);
    return text.empty() ? fallback : std::strtoull(text.c_str(), nullptr, 10);
}

void HandleEcho(CExchange& exchange)
{
    exchange.Reply(exchange.Request().records);
}

void HandleStream(CExchange& exchange)
{
    const uint64_t length = Number(exchange, 192, 0);
    const uint64_t offset = Number(exchange, 204, 0);
    const uint64_t factor = Number(exchange, 159, 2);
    if (factor < 1 || factor > 32) {
        exchange.ReplyError("E0", "1500", "Frame factor must be 1 to 32.");
        return;
    }
    if (exchange.Has(9))
        exchange.Connection().SetPendingKey(exchange.Field(9));
    std::vector<Record> header;
    if (exchange.Has(228))
        header.push_back({{228, exchange.Field(228)}});
    exchange.Stream(header, length, [offset](uint64_t at, size_t size, std::string& out) {
        out = TestPattern(offset + at, size);
        return true;
    }, static_cast<size_t>(factor) * kFilePieceSize);
}

void HandleUploadAnnounce(CExchange& exchange)
{
    if (!exchange.Has(192)) {
        exchange.ReplyError("E0", "1500", "Z3 needs the byte count (192).");
        return;
    }
    CConnection& connection = exchange.Connection();
    const uint64_t expected = Number(exchange, 192, 0);
    auto sink = std::make_unique<CUploadSink>(connection, expected);
    // No data follows for nothing announced.
    if (expected == 0)
        sink->OnData(std::string(), true);
    else
        connection.SetUploadTarget(std::move(sink));
    exchange.Reply();
}

void HandleUploadResult(CExchange& exchange)
{
    const UploadReport& report = exchange.Connection().Slot<UploadReport>();
    Record record;
    record[192] = std::to_string(report.bytes);
    record[205] = std::to_string(report.checksum);
    record[166] = std::to_string(report.frames);
    record[44] = report.complete ? "Y" : "N";
    record[45] = report.patternOk ? "Y" : "N";
    exchange.Reply({record});
}

void HandleBulk(CExchange& exchange)
{
    const uint64_t count = Number(exchange, 166, 1);
    const uint64_t size = Number(exchange, 192, 0);
    if (size == 0 || count == 0 || count * size > kBulkLimit) {
        exchange.ReplyError("E0", "1500", "Z5 needs 1 to 64 MB in records of 1 byte or more.");
        return;
    }
    std::vector<Record> records(static_cast<size_t>(count));
    for (Record& record : records)
        record[101] = TestPattern(0, static_cast<size_t>(size));
    exchange.Reply(std::move(records));
}

const CCommandFamily kTransportCommands{
    {"Z1", HandleEcho},
    {"Z2", HandleStream},
    {"Z3", HandleUploadAnnounce},
    {"Z4", HandleUploadResult},
    {"Z5", HandleBulk},
};

}

}
