#include "common/linux/XdgPaths.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly {

namespace {

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    // A service started without HOME still has a passwd entry.
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string BaseFolder(const char* variable, const char* defaultUnderHome)
{
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return WithoutTrailingSlashes(value);
    const std::string home = WithoutTrailingSlashes(HomeFolder());
    return (home == "/" ? std::string() : home) + defaultUnderHome;
}

} // namespace

std::string XdgConfigHome()
{
    return BaseFolder("XDG_CONFIG_HOME", "/.config");
}

std::string XdgDataHome()
{
    return BaseFolder("XDG_DATA_HOME", "/.local/share");
}

std::string ProgramFolder()
{
    const std::string data = XdgDataHome();
    return (data == "/" ? std::string() : data) + "/Tessaly";
}

bool EnsureFolder(const std::string& folder)
{
    if (folder.empty() || folder.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !EnsureFolder(folder.substr(0, slash)))
        return false;
    if (mkdir(folder.c_str(), 0777) == 0)
        return true;
    // Another process may have made it meanwhile; or made a file of that name.
    return errno == EEXIST && IsFolder(folder);
}

} // namespace tessaly
