#include "settings/settings_store.h"

#include "settings/byte_set_file.h"
#include "settings/value_forms.h"

namespace lct {

bool SettingsStore::open(std::string_view path) {
    return ini_.open(path);
}

std::string SettingsStore::byteSetPath(std::string_view key) const {
    return lct::byteSetPath(ini_.path(), section_, key);
}

std::string SettingsStore::readBytes(std::string_view key, std::string_view defaultValue) const {
    const std::optional<std::string> bytes = readByteSetFile(byteSetPath(key));
    if (!bytes || bytes->empty()) return std::string(defaultValue);
    return *bytes;
}

bool SettingsStore::writeBytes(std::string_view key, std::string_view bytes) const {
    // A store that does not hold its settings file (a second copy of the
    // program, a read-only folder) keeps every change off the disk, byte
    // blocks included: the copy that holds the file owns them.
    if (!ini_.holdsFile()) return false;
    return writeByteSetFile(byteSetPath(key), bytes);
}

bool SettingsStore::writeText(std::string_view key, std::string_view text) {
    return ini_.writeKey(section_, key, escapeLineBreaks(text)) == IniDocument::kWritten;
}

std::string SettingsStore::readText(std::string_view key, std::string_view defaultValue) {
    return unescapeLineBreaks(ini_.readKey(section_, key, escapeLineBreaks(defaultValue)));
}

bool SettingsStore::writeNumber(std::string_view key, double number) {
    return ini_.writeKey(section_, key, formatNumber(number)) == IniDocument::kWritten;
}

double SettingsStore::readNumber(std::string_view key, double defaultValue) {
    return parseNumber(ini_.readKey(section_, key, formatNumber(defaultValue)));
}

bool SettingsStore::writeBool(std::string_view key, bool value) {
    return ini_.writeKey(section_, key, boolText(value)) == IniDocument::kWritten;
}

bool SettingsStore::readBool(std::string_view key, bool defaultValue) {
    return ini_.readKey(section_, key, boolText(defaultValue)) == boolText(true);
}

}  // namespace lct
