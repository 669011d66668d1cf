// Uploads and downloads: H0 announce and decision, H5 results, H6 cancel, H1 announce,
// position and continue. H3 data goes to the CFileUpload an H0 set up; H4 streams answer H1.
#include "Checksum.h"
#include "CommandTable.h"
#include "FileStream.h"
#include "FileUpload.h"
#include "NameText.h"
#include "StoreRequest.h"
#include <filesystem>

namespace tovisrv {

namespace {

uint64_t FileSize(const std::string& path)
{
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

// The checksum of the first `bytes` bytes: 0 for none (a 0 size would mean the whole file).
uint32_t ChecksumOf(const std::string& path, uint64_t bytes)
{
    return bytes == 0 ? 0 : CChecksum::Compute(path, bytes);
}

// Data from `offset` up to the announced size comes as H3; with nothing left the file is
// complete at once.
void ExpectData(CStoreRequest& request, StoreItem& item, uint64_t offset, uint64_t size, const std::string& mtime)
{
    CStore& store = request.Store();
    item.incomplete = true;
    item.expected = size;
    if (offset == size) {
        if (offset == 0) {
            std::error_code ec;
            std::filesystem::remove(store.PartialPath(item), ec);
        }
        CFileUpload::Complete(store, item, mtime, request.Me().id);
        return;
    }
    CConnection& connection = request.Exchange().Connection();
    auto upload = std::make_unique<CFileUpload>(connection, store, item.idx, store.PartialPath(item), offset, size,
                                                mtime, request.Conn().sid);
    if (!upload->Open()) {
        connection.Log("the partial copy of " + std::to_string(item.idx) + " cannot be opened");
        return;
    }
    connection.SetUploadTarget(std::move(upload));
}

void HandleUploadAnnounce(CStoreRequest& request)
{
    CStore& store = request.Store();
    ConnectionSession& conn = request.Conn();
    conn.awaitingDecision = false;
    StoreItem* folder = request.Visible(request.Field(173));
    if (!folder || folder->kind != 'D' || !request.Live(*folder)) {
        request.Error("1301", "Folder not found.");
        return;
    }
    if (!store.Allowed(*folder, kPermUpload)) {
        request.Error("1320", "You have no permission to upload here.");
        return;
    }
    const std::string name = request.Text(181);
    if (!CNameText::IsValidName(name)) {
        request.Warning("1312", "The name is not valid.");
        return;
    }
    const uint64_t size = request.Number(192);
    const UserAccount& me = request.Me();
    const uint64_t used = store.UsedBytes(me.id);
    StoreItem* existing = store.ChildNamed(folder->idx, name);
    const uint64_t replaced = existing && existing->kind == 'F' && !existing->incomplete ? existing->size : 0;
    if (size > replaced && size - replaced > (me.quotaBytes > used ? me.quotaBytes - used : 0)) {
        request.Error("1400", "Not enough space left.");
        return;
    }
    if (existing && existing->kind == 'D') {
        request.Warning("1311", "A folder with the same name exists.");
        return;
    }
    const std::string mtime = request.Field(188);
    const std::string wireName = CNameText::ToWire(name);
    uint64_t stored = 0;
    if (existing && existing->incomplete)
        stored = FileSize(store.PartialPath(*existing));
    if (!existing || (existing->incomplete && stored == 0)) {
        StoreItem& item = existing ? *existing : store.NewItem('F', name, folder->idx, folder->owner);
        item.clientMtime = mtime;
        ExpectData(request, item, 0, size, mtime);
        request.Reply({{{181, wireName}}});
        return;
    }
    const std::string path = existing->incomplete ? store.PartialPath(*existing) : store.DiskPath(*existing);
    if (!existing->incomplete)
        stored = existing->size;
    conn.awaitingDecision = true;
    conn.uploadIdx = existing->idx;
    conn.uploadSize = size;
    conn.storedBytes = stored;
    conn.storedPartial = existing->incomplete;
    conn.uploadMtime = mtime;
    request.Reply({{{192, std::to_string(stored)}, {205, std::to_string(ChecksumOf(path, stored))},
                    {181, wireName}, {188, existing->clientMtime}}});
}

void HandleUploadDecision(CStoreRequest& request)
{
    CStore& store = request.Store();
    ConnectionSession& conn = request.Conn();
    if (!conn.awaitingDecision) {
        request.Error("1500", "No upload waits for a decision.");
        return;
    }
    conn.awaitingDecision = false;
    StoreItem* item = store.Find(conn.uploadIdx);
    if (!item || item->owner != request.Me().id) {
        request.Error("1301", "File not found.");
        return;
    }
    const std::string mode = request.Field(34);
    if (mode == "1" || mode == "0") {
        ExpectData(request, *item, 0, conn.uploadSize, conn.uploadMtime);
    } else if (mode == "3") {
        if (conn.storedBytes > conn.uploadSize) {
            request.Error("1500", "The stored part is larger than the file.");
            return;
        }
        if (!conn.storedPartial) {
            // A complete file that grew: its content is the start of the new one.
            std::error_code ec;
            std::filesystem::create_directories(std::filesystem::path(store.PartialPath(*item)).parent_path(), ec);
            std::filesystem::copy_file(store.DiskPath(*item), store.PartialPath(*item),
                                       std::filesystem::copy_options::overwrite_existing, ec);
        }
        ExpectData(request, *item, conn.storedBytes, conn.uploadSize, conn.uploadMtime);
    } else if (mode != "2" && mode != "4") {
        request.Error("1500", "Unknown upload decision.");
        return;
    }
    request.Reply();
}

void HandleUpload(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    if (request.Has(34))
        HandleUploadDecision(request);
    else
        HandleUploadAnnounce(request);
}

void HandleUploadResult(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    LoginSession& session = request.Session();
    if (session.pendingRounds < request.Config().h5PendingRounds) {
        ++session.pendingRounds;
        request.Reply({{{44, "Y"}}});
        return;
    }
    session.pendingRounds = 0;
    std::vector<Record> records;
    records.swap(session.uploadErrors);
    records.push_back({{44, "N"}});
    request.Reply(records);
}

void HandleUploadCancel(CExchange& exchange)
{
    CStoreRequest request(exchange);
    request.Conn().awaitingDecision = false;
    request.Reply();
}

// The file or version that an H1 names: its path and size, or an error reply.
bool Source(CStoreRequest& request, const StoreItem& item, int version, std::string& path, uint64_t& size)
{
    CStore& store = request.Store();
    if (version == 0) {
        if (item.incomplete) {
            request.Warning("1301", "Upload incomplete.");
            return false;
        }
        path = store.DiskPath(item);
        size = item.size;
        return true;
    }
    for (const FileVersion& v : item.versions) {
        if (v.number == version) {
            path = store.VersionPath(item, version);
            size = v.size;
            return true;
        }
    }
    request.Error("1301", "Version not found.");
    return false;
}

void HandleDownloadAnnounce(CStoreRequest& request)
{
    ConnectionSession& conn = request.Conn();
    conn.downloadPending = false;
    StoreItem* item = request.Visible(request.Field(173));
    if (!item || item->kind != 'F') {
        request.Error("1301", "File not found.");
        return;
    }
    if (!request.Store().Allowed(*item, kPermDownload)) {
        request.Error("1320", "You have no permission to download this file.");
        return;
    }
    const int version = static_cast<int>(request.Number(209));
    std::string path;
    uint64_t size = 0;
    if (!Source(request, *item, version, path, size))
        return;
    if (request.Has(9))
        request.Exchange().Connection().SetPendingKey(request.Field(9));
    if (version > 0 && request.Config().prepareRounds > 0) {
        conn.preparing = true;
        conn.prepareLeft = request.Config().prepareRounds;
        conn.prepareCompare = request.Has(205);
        conn.prepareLocal = request.Number(192);
        conn.prepareChecksum = request.Field(205);
        conn.downloadIdx = item->idx;
        conn.downloadVersion = version;
        request.Reply({{{44, "Y"}}});
        return;
    }
    if (!request.Has(205)) {
        CFileStream::Send(request, path, 0, size);
        return;
    }
    const uint64_t local = request.Number(192);
    const bool same = local <= size && std::to_string(ChecksumOf(path, local)) == request.Field(205);
    conn.downloadPending = true;
    conn.downloadIdx = item->idx;
    conn.downloadVersion = version;
    request.Reply({{{40, same ? "Y" : "N"}}});
}

void HandleDownloadPosition(CStoreRequest& request)
{
    ConnectionSession& conn = request.Conn();
    if (!conn.downloadPending) {
        request.Error("1500", "No download waits for a position.");
        return;
    }
    conn.downloadPending = false;
    StoreItem* item = request.Store().Find(conn.downloadIdx);
    if (!item || item->owner != request.Me().id) {
        request.Error("1301", "File not found.");
        return;
    }
    if (request.Field(34) == "2") {
        request.Reply();
        return;
    }
    std::string path;
    uint64_t size = 0;
    if (!Source(request, *item, conn.downloadVersion, path, size))
        return;
    const uint64_t offset = request.Number(204);
    if (request.Field(34) != "3" || offset > size) {
        request.Error("1500", "Unknown download position.");
        return;
    }
    CFileStream::Send(request, path, offset, size - offset);
}

// The wait for a version being prepared: "Y" asks whether it is ready, "N" ends the wait, and
// the announce's own answer (its data, or the resume answer) follows the ending "N".
void HandleDownloadContinue(CStoreRequest& request)
{
    ConnectionSession& conn = request.Conn();
    if (!conn.preparing) {
        request.Reply({{{44, "N"}}});
        return;
    }
    if (request.Field(44) == "Y") {
        if (conn.prepareLeft > 0)
            --conn.prepareLeft;
        request.Reply({{{44, conn.prepareLeft > 0 ? "Y" : "N"}}});
        return;
    }
    conn.preparing = false;
    StoreItem* item = request.Store().Find(conn.downloadIdx);
    if (conn.prepareLeft > 0 || !item) {
        // Stopped before the version was ready.
        request.Reply({{{44, "N"}}});
        return;
    }
    std::string path;
    uint64_t size = 0;
    if (!Source(request, *item, conn.downloadVersion, path, size))
        return;
    if (!conn.prepareCompare) {
        CFileStream::Send(request, path, 0, size);
        return;
    }
    const bool same = conn.prepareLocal <= size &&
                      std::to_string(ChecksumOf(path, conn.prepareLocal)) == conn.prepareChecksum;
    conn.downloadPending = true;
    request.Reply({{{40, same ? "Y" : "N"}}});
}

void HandleDownload(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    if (request.Has(34))
        HandleDownloadPosition(request);
    else if (request.Has(44) && !request.Has(173))
        HandleDownloadContinue(request);
    else
        HandleDownloadAnnounce(request);
}

const CCommandFamily kTransferCommands{
    {"H0", HandleUpload},
    {"H1", HandleDownload},
    {"H5", HandleUploadResult},
    {"H6", HandleUploadCancel},
};

}

}
