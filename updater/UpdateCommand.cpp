// Parsing of the update program's command line.
#include "UpdateCommand.h"
#include <cwchar>
#include <cwctype>
#include <vector>

UpdateCommand ParseUpdateCommand(const wchar_t* commandLine)
{
    UpdateCommand command;
    CString line(commandLine != nullptr ? commandLine : L"");
    if (line.IsEmpty())
        return command;
    if (line.Left(8) == L"service:") {
        CString word = line.Mid(8);
        if (word.Left(7) == L"install")
            command.kind = UpdateCommand::kServiceInstall;
        else if (word.Left(9) == L"uninstall")
            command.kind = UpdateCommand::kServiceRemove;
        else
            command.kind = UpdateCommand::kQuit;
        command.index = 2;
        return command;
    }
    // Words separated by runs of spaces; a leading space ends the list at once.
    std::vector<CString> words;
    int at = 0;
    while (at < line.GetLength()) {
        int space = line.Find(L' ', at);
        CString word = space < 0 ? line.Mid(at) : line.Mid(at, space - at);
        if (word.IsEmpty())
            break;
        words.push_back(word);
        if (space < 0)
            break;
        at = space + 1;
        while (at < line.GetLength() && line[at] == L' ')
            ++at;
    }
    if (words.empty()) {
        command.kind = UpdateCommand::kQuit;
        return command;
    }
    const wchar_t* first = words[0].GetString();
    command.index = std::iswdigit(first[0]) || first[0] == L'-' || first[0] == L'+' ? static_cast<int>(wcstol(first, nullptr, 10)) : 0;
    if (command.index < 0 || command.index > 2) {
        command.kind = UpdateCommand::kQuit;
        return command;
    }
    if (words.size() > 1 && words[1] == L"RunAsStdUser")
        command.kind = UpdateCommand::kRunAsStdUser;
    return command;
}
