#include "platform/UserFolders.h"

#include "platform/FileNames.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

const passwd* Account() {
    return getpwuid(getuid());
}

std::string WithoutClosingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The value of one line `XDG_DESKTOP_DIR="..."` of user-dirs.dirs, a shell assignment: a double-
// quoted text in which a backslash takes the next character literally.
std::optional<std::string> DesktopEntryValue(const std::string& line) {
    static const std::string key = "XDG_DESKTOP_DIR=";
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
        return std::nullopt;
    std::size_t at = start + key.size();
    if (at >= line.size() || line[at] != '"')
        return std::nullopt;
    std::string value;
    for (++at; at < line.size(); ++at) {
        if (line[at] == '"')
            return value;
        if (line[at] == '\\' && at + 1 < line.size())
            ++at;
        value += line[at];
    }
    return std::nullopt; // no closing quote
}

// The desktop folder that user-dirs.dirs names, if any; the last assignment counts, as in a shell.
std::optional<std::string> ConfiguredDesktop(const std::string& home) {
    std::ifstream file(ChildPath(home, ".config/user-dirs.dirs"));
    std::optional<std::string> configured;
    for (std::string line; std::getline(file, line);) {
        std::optional<std::string> value = DesktopEntryValue(line);
        if (!value)
            continue;
        static const std::string homeVariable = "$HOME";
        if (*value == homeVariable)
            configured = home;
        else if (value->starts_with(homeVariable + "/"))
            configured = ChildPath(home, value->substr(homeVariable.size() + 1));
        else if (!value->empty() && value->front() == '/')
            configured = *value;
        // Anything else (a relative path) is not a valid entry and is passed over.
    }
    return configured;
}

} // namespace

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        const passwd* account = Account();
        home = account && account->pw_dir ? account->pw_dir : "";
    }
    return home.empty() ? "/" : WithoutClosingSeparators(home);
}

std::string LoginName() {
    const passwd* account = Account();
    if (account && account->pw_name && *account->pw_name)
        return account->pw_name;
    const std::string user = Environment("USER");
    return user.empty() ? Environment("LOGNAME") : user;
}

std::string DesktopFolder() {
    const std::string home = HomeFolder();
    if (const std::optional<std::string> configured = ConfiguredDesktop(home);
        configured && IsDirectory(*configured))
        return WithoutClosingSeparators(*configured);
    if (const std::string desktop = ChildPath(home, "Desktop"); IsDirectory(desktop))
        return desktop;
    return home;
}
