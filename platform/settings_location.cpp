#include "platform/settings_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/program_folder.h"

namespace lct {
namespace {

constexpr std::string_view kConfigFolderName = "lancitong";

#ifdef LCT_INSTALL_BINDIR
constexpr std::string_view kInstalledFolder = LCT_INSTALL_BINDIR;
#else
constexpr std::string_view kInstalledFolder = {};
#endif

std::string joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '/';
    path += name;
    return path;
}

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// $HOME, or the home folder the password database gives the user.
std::string homeFolder() {
    std::string home = environmentValue("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        home = found->pw_dir;
    return home;
}

bool sameFolder(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return false;
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a), std::filesystem::path(b), error) &&
           !error;
}

}  // namespace

std::string chooseSettingsPath(std::string_view fileName, const SettingsPlace& place) {
    if (place.fileBesideProgram || (place.programFolderWritable && !place.installedFolder))
        return joined(place.programFolder, fileName);
    std::string base;
    if (place.configHome.starts_with('/'))
        base = place.configHome;
    else if (place.home.starts_with('/'))
        base = joined(place.home, ".config");
    if (base.empty()) return joined(place.programFolder, fileName);
    while (base.size() > 1 && base.ends_with('/'))
        base.pop_back();
    return joined(joined(base, kConfigFolderName), fileName);
}

SettingsPlace probeSettingsPlace(std::string_view programFolder, std::string_view fileName) {
    SettingsPlace place;
    place.programFolder = programFolder;
    const std::string beside = joined(programFolder, fileName);
    struct stat st {};
    place.fileBesideProgram = ::lstat(beside.c_str(), &st) == 0;
    place.programFolderWritable = ::access(place.programFolder.c_str(), W_OK | X_OK) == 0;
    place.installedFolder = sameFolder(programFolder, kInstalledFolder);
    place.configHome = environmentValue("XDG_CONFIG_HOME");
    place.home = homeFolder();
    return place;
}

std::string defaultSettingsPath(std::string_view fileName) {
    return chooseSettingsPath(fileName, probeSettingsPlace(programFolder(), fileName));
}

bool makeSettingsFolder(std::string_view settingsPath) {
    const std::filesystem::path folder = std::filesystem::path(settingsPath).parent_path();
    if (folder.empty()) return true;
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) return true;
    // Parents first, each made for the user alone.
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder) {
        partial /= part;
        if (!std::filesystem::exists(partial, error)) ::mkdir(partial.c_str(), 0700);
    }
    return std::filesystem::is_directory(folder, error);
}

}  // namespace lct
