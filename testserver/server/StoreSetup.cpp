// Builds storage state by path for the control channel and the demo account.
#include "StoreSetup.h"
#include "FileUpload.h"
#include "NameText.h"
#include "TreeOps.h"
#include <fstream>
#include <iterator>
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

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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


// The organisation the pickers browse: a few groups, one with sub-groups, and colleagues in them.
bool DemoOrganisation(CStore& store, std::string& error)
{
    const UserGroup groups[] = {
        {"g1", "Sales", "0"},          {"g2", "Research", "0"},        {"g3", "Support", "0"},
        {"g11", "Sales East", "g1"},   {"g12", "Sales West", "g1"},    {"g21", "Platform", "g2"},
    };
    for (const UserGroup& group : groups)
        store.Groups()[group.id] = group;
    struct Person {
        const char *id, *name, *position, *code, *group, *department;
    };
    const Person people[] = {
        {"demo", "Demo User", "Tester", "U100", "g2", "Research"},
        {"kim", "Kim Minji", "Manager", "U101", "g1", "Sales"},
        {"lee", "Lee Jun", "Clerk", "U102", "g11", "Sales East"},
        {"park", "Park Hana", "Analyst", "U103", "g2", "Research"},
        {"choi", "Choi Yuna", "Engineer", "U104", "g21", "Platform"},
        {"jung", "Jung Minho", "Agent", "U105", "g3", "Support"},
    };
    for (const Person& person : people) {
        UserAccount account;
        account.id = person.id;
        account.password = std::string(person.id) == "demo" ? "demo1234" : "pw";
        account.name = person.name;
        account.position = person.position;
        account.code = person.code;
        account.groupId = person.group;
        account.department = person.department;
        if (!store.AddUser(account, error))
            return false;
    }
    return true;
}

bool DemoFiles(CStore& store, std::string& error)
{
    const struct {
        const char* path;
        std::string content;
    } files[] = {
        {"My Files/Welcome.txt", "Welcome to the test server.\r\nThese files live in the server's state folder.\r\n"},
        {"My Files/Documents/Notes.txt", "Meeting notes\r\n- upload a file\r\n"},
        {"My Files/Documents/Plan.csv", "step,owner\r\nlog in,demo\r\nlist folders,demo\r\n"},
        {"My Files/Pictures/Ramp.bmp", SampleBitmap(64, 48)},
        {"My Files/Projects/Alpha/Readme.txt", "Project Alpha\r\n"},
        {"My Files/Projects/Alpha/Budget.csv", "item,cost\r\nservers,1200\r\n"},
        {"Backup/OFFICE-PC/Documents/Report.txt", "Quarterly report, backed up from the office PC.\r\n"},
    };
    for (const auto& file : files)
        if (!CStoreSetup::PutFile(store, "demo", file.path, file.content, error))
            return false;
    // Saved again twice, so that the notes keep two earlier versions.
    for (const char* more : {"- download it back\r\n", "- share the folder\r\n"}) {
        StoreItem* notes = CStoreSetup::Resolve(store, "demo", "My Files/Documents/Notes.txt");
        const std::string before = notes ? ReadAll(store.DiskPath(*notes)) : std::string();
        if (!CStoreSetup::PutFile(store, "demo", "My Files/Documents/Notes.txt", before + more, error))
            return false;
    }
    if (!CStoreSetup::MakeFolders(store, "demo", "My Files/Projects/Beta", error))
        return false;
    // A file that a colleague sent, waiting in the file box.
    StoreItem* received = CStoreSetup::PutFile(store, "demo", "File box/Price list.csv",
                                               "product,price\r\nbasic,10\r\n", error);
    if (!received)
        return false;
    received->sharedFrom = "kim";
    store.FindUser("demo")->receivedUnread = 1;
    return true;
}

// A shared folder, a group share, a guest folder, a link and two shortcuts.
bool DemoSharing(CStore& store, std::string& error)
{
    StoreItem* projects = CStoreSetup::Resolve(store, "demo", "My Files/Projects");
    StoreItem* plan = CStoreSetup::Resolve(store, "demo", "My Files/Documents/Plan.csv");
    StoreItem* documents = CStoreSetup::Resolve(store, "demo", "My Files/Documents");
    StoreItem* alpha = CStoreSetup::Resolve(store, "demo", "My Files/Projects/Alpha");
    if (!projects || !plan || !documents || !alpha) {
        error = "the demo files are missing";
        return false;
    }
    projects->share.on = true;
    projects->share.members = {{"G", "g1", "2200", "0"}, {"U", "U104", "2220", "1"}};

    StoreItem* team = CStoreSetup::MakeFolders(store, "demo", "Group/Research Team", error);
    StoreItem* partner = CStoreSetup::MakeFolders(store, "demo", "Guest/Partner Exchange", error);
    if (!team || !partner)
        return false;
    team->dtype = '3';
    team->groupShare = {{29, "Y"}, {190, "1000"}};
    team->groupMembers = {{{24, "G"}, {176, "g2"}, {5, "2220"}, {154, "1"}}};
    partner->dtype = '5';
    partner->guest.present = true;
    partner->guest.email = "partner@example.com";
    partner->guest.permission = "2200";
    partner->guest.password = "guest1";
    partner->guest.to = "2099-12-31";

    FileLink link;
    link.id = "DemoLinkPlanCsv00001";
    link.expiry = "2099-12-31";
    plan->links.push_back(link);

    UserAccount* demo = store.FindUser("demo");
    demo->shortcuts = {documents->idx, alpha->idx};
    store.MarkDirty();
    return true;
}

// A deleted file and a deleted folder in the recycle bin.
bool DemoBin(CStore& store, std::string& error)
{
    for (const char* path : {"My Files/Old draft.txt", "My Files/Archive 2025/Minutes.txt"})
        if (!CStoreSetup::PutFile(store, "demo", path, "No longer needed.\r\n", error))
            return false;
    for (const char* path : {"My Files/Old draft.txt", "My Files/Archive 2025"}) {
        StoreItem* item = CStoreSetup::Resolve(store, "demo", path);
        if (!item || !CTreeOps::Trash(store, *item)) {
            error = std::string("cannot move ") + path + " to the bin";
            return false;
        }
    }
    return true;
}

// Counters the alert pop-up shows: four new alerts, of them two shares, a link and a draft.
bool DemoAlerts(CStore& store, std::string&)
{
    store.Config().b4[223] = "4";
    store.Config().b4[226] = "2";
    store.Config().b4[233] = "1";
    store.Config().b4[227] = "1";
    return true;
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
    // A state folder kept from an earlier run still holds the files, versions and bin of that
    // run's demo: the account is made afresh, so are its files.
    std::error_code ec;
    std::filesystem::remove_all(store.UserDir("demo"), ec);
    return DemoOrganisation(store, error) && DemoFiles(store, error) && DemoSharing(store, error) &&
           DemoBin(store, error) && DemoAlerts(store, error);
}

}
