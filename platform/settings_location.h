#pragma once
// Where the settings file lives.
//
// A copy of the program that can keep its settings beside itself does so: the
// settings file is already there, or the program's folder is writable (a
// portable copy unpacked into a folder of the user's). An installed copy
// (/usr/bin, not writable for the user) keeps them in the user's configuration
// folder, $XDG_CONFIG_HOME/lancitong/ (by default ~/.config/lancitong/), with
// its "inibin" folder beside the file as everywhere. An explicit path (the
// --ini option) wins over both; its callers handle that before asking here.

#include <string>
#include <string_view>

namespace lct {

/// What the choice depends on, gathered by probeSettingsPlace (or given by a
/// test). Paths are UTF-8, without a trailing "/".
struct SettingsPlace {
    std::string programFolder;
    bool fileBesideProgram = false;  ///< the settings file exists in programFolder
    bool programFolderWritable = false;
    /// programFolder is the folder the program was built to be installed in:
    /// a folder of the system even when the user (root) may write it.
    bool installedFolder = false;
    std::string configHome;  ///< $XDG_CONFIG_HOME; used only when absolute
    std::string home;        ///< the user's home folder; may be empty
};

/// The settings file named `fileName` for `place`: beside the program when the
/// file is there, or when the folder is writable and not the installed
/// folder; else in configHome (or home + "/.config") + "/lancitong/"; beside
/// the program as a last resort when neither is known.
std::string chooseSettingsPath(std::string_view fileName, const SettingsPlace& place);

/// The facts of `programFolder` and of the environment ($XDG_CONFIG_HOME,
/// $HOME, else the password database) for the settings file `fileName`.
SettingsPlace probeSettingsPlace(std::string_view programFolder, std::string_view fileName);

/// chooseSettingsPath over probeSettingsPlace(programFolder(), fileName).
std::string defaultSettingsPath(std::string_view fileName);

/// Makes the folder of `settingsPath` when it is missing (its parents too,
/// new folders only for the user: mode 0700), so that a writer can create the
/// file. False when the folder does not exist afterwards.
bool makeSettingsFolder(std::string_view settingsPath);

}  // namespace lct
