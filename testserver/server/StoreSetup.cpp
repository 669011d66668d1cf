// Builds storage state by path for the control channel and the demo account.
#include "StoreSetup.h"
#include "FileUpload.h"
#include "NameText.h"
#include <cstdio>
#include <filesystem>

namespace tovisrv {

namespace {

StoreItem* TopNamed(CStore& store, const std::string& user, const std::string& name)
{
    UserAccount* account = store.FindUser(user);
    if (!account)
        return nullptr;
    for (const uint64_t idx : account->tops)
        if (StoreItem* top = store.Find(idx); top && CNameText::SameName(top->name, name))
            return top;
    return nullptr;
}

bool WriteFile(const std::string& path, const std::string& content)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && ok;
}

// The parent folder and the last name of a path, the folders made on the way.
StoreItem* ParentOf(CStore& store, const std::string& user, const std::string& path, std::string& name,
                    std::string& error)
{
    std::vector<std::string> parts = CNameText::SplitPath(path);
    if (parts.size() < 2) {
        error = "the path needs a top-level folder and a name";
        return nullptr;
    }
    name = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const std::string& part : parts)
        parentPath += (parentPath.empty() ? "" : "/") + part;
    return CStoreSetup::MakeFolders(store, user, parentPath, error);
}

// A small 24-bit bitmap with a colour ramp, for thumbnails and previews.
std::string SampleBitmap(int width, int height)
{
    const int row = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(row * height);
    const uint32_t fileSize = 54 + imageSize;
    std::string out(54, '\0');
    auto put32 = [&out](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, fileSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    put32(34, imageSize);
    for (int y = 0; y < height; ++y) {
        std::string line(static_cast<size_t>(row), '\0');
        for (int x = 0; x < width; ++x) {
            line[static_cast<size_t>(x * 3)] = static_cast<char>(255 * y / height);
            line[static_cast<size_t>(x * 3 + 1)] = static_cast<char>(128);
            line[static_cast<size_t>(x * 3 + 2)] = static_cast<char>(255 * x / width);
        }
        out += line;
    }
    return out;
}

}

StoreItem* CStoreSetup::Resolve(CStore& store, const std::string& user, const std::string& path)
{
    const std::vector<std::string> parts = CNameText::SplitPath(path);
    if (parts.empty())
        return nullptr;
    StoreItem* item = TopNamed(store, user, parts[0]);
    for (size_t i = 1; item && i < parts.size(); ++i)
        item = store.ChildNamed(item->idx, parts[i]);
    return item;
}

StoreItem* CStoreSetup::MakeFolders(CStore& store, const std::string& user, const std::string& path,
                                    std::string& error)
{
    const std::vector<std::string> parts = CNameText::SplitPath(path);
    StoreItem* item = parts.empty() ? nullptr : TopNamed(store, user, parts[0]);
    if (!item) {
        error = "no top-level folder " + (parts.empty() ? std::string() : parts[0]) + " for user " + user;
        return nullptr;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        StoreItem* child = store.ChildNamed(item->idx, parts[i]);
        if (child && child->kind != 'D') {
            error = parts[i] + " is a file";
            return nullptr;
        }
        if (!child) {
            if (!CNameText::IsValidName(parts[i])) {
                error = "invalid name " + parts[i];
                return nullptr;
            }
            child = &store.NewItem('D', parts[i], item->idx, item->owner);
            std::error_code ec;
            std::filesystem::create_directories(store.DiskPath(*child), ec);
        }
        item = child;
    }
    return item;
}

StoreItem* CStoreSetup::PutFile(CStore& store, const std::string& user, const std::string& path,
                                const std::string& content, std::string& error)
{
    std::string name;
    StoreItem* parent = ParentOf(store, user, path, name, error);
    if (!parent)
        return nullptr;
    StoreItem* item = store.ChildNamed(parent->idx, name);
    if (item && item->kind != 'F') {
        error = name + " is a folder";
        return nullptr;
    }
    if (!item) {
        if (!CNameText::IsValidName(name)) {
            error = "invalid name " + name;
            return nullptr;
        }
        item = &store.NewItem('F', name, parent->idx, parent->owner);
    }
    if (!WriteFile(store.PartialPath(*item), content) || !CFileUpload::Complete(store, *item, "", user)) {
        error = "cannot write the file";
        return nullptr;
    }
    return item;
}

StoreItem* CStoreSetup::PutPartial(CStore& store, const std::string& user, const std::string& path,
                                   const std::string& content, uint64_t announced, std::string& error)
{
    std::string name;
    StoreItem* parent = ParentOf(store, user, path, name, error);
    if (!parent)
        return nullptr;
    StoreItem* item = store.ChildNamed(parent->idx, name);
    if (item && item->kind != 'F') {
        error = name + " is a folder";
        return nullptr;
    }
    if (!item)
        item = &store.NewItem('F', name, parent->idx, parent->owner);
    if (!WriteFile(store.PartialPath(*item), content)) {
        error = "cannot write the partial copy";
        return nullptr;
    }
    item->incomplete = true;
    item->expected = announced;
    store.MarkDirty();
    return item;
}

bool CStoreSetup::MakeDemo(CStore& store, const std::string& host, std::string& error)
{
    if (!host.empty()) {
        for (Record& domain : store.Config().domains)
            domain[168] = host;
        store.Config().linkHost = host;
    }
    if (store.FindUser("demo"))
        return true;
    UserAccount demo;
    demo.id = "demo";
    demo.password = "demo1234";
    demo.name = "Demo User";
    demo.position = "Tester";
    demo.department = "Test";
    if (!store.AddUser(demo, error))
        return false;
    const struct {
        const char* path;
        std::string content;
    } files[] = {
        {"My Files/Welcome.txt", "Welcome to the test server.\r\nThese files live in the server's state folder.\r\n"},
        {"My Files/Documents/Notes.txt", "Meeting notes\r\n- upload a file\r\n- download it back\r\n"},
        {"My Files/Documents/Plan.csv", "step,owner\r\nlog in,demo\r\nlist folders,demo\r\n"},
        {"My Files/Pictures/Ramp.bmp", SampleBitmap(64, 48)},
        {"My Files/Projects/Alpha/Readme.txt", "Project Alpha\r\n"},
    };
    for (const auto& file : files)
        if (!PutFile(store, "demo", file.path, file.content, error))
            return false;
    return MakeFolders(store, "demo", "My Files/Projects/Beta", error) != nullptr;
}

}
