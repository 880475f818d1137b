#include "settings/settings_store.h"

#include "platform/charset.h"
#include "settings/byte_set_file.h"
#include "settings/value_forms.h"

namespace lct {

std::string saveReport(const SaveOutcome& outcome) {
    if (!outcome.held)
        return utf8ToGbk("另一个正在运行的青禾·澜词通占用着配置文件，本次没有保存任何设置。");
    if (outcome.failures.empty()) return utf8ToGbk("保存完毕！");
    std::string text = "以下设置未能保存，配置文件保持原样：";
    for (const std::string& failure : outcome.failures)
        text += "\r\n" + failure;
    return utf8ToGbk(text);
}

bool SettingsStore::open(std::string_view path, std::chrono::milliseconds wait) {
    return ini_.open(path, wait);
}

void SettingsStore::beginSave() {
    if (saveDepth_++ == 0) failures_.clear();
    ini_.beginSave();
}

SaveOutcome SettingsStore::finishSave() {
    SaveOutcome outcome;
    outcome.held = ini_.holdsFile();
    if (saveDepth_ > 0) --saveDepth_;
    // A save that lost a value leaves the settings file as it was: the file
    // never holds half of a save.
    const bool complete = failures_.empty();
    std::string error;
    if (!ini_.finishSave(complete && outcome.held, &error))
        failures_.push_back("配置文件 " + ini_.path() + "：" + error);
    outcome.failures = failures_;
    if (saveDepth_ == 0) failures_.clear();
    return outcome;
}

std::string SettingsStore::byteSetPath(std::string_view key) const {
    return lct::byteSetPath(ini_.path(), section_, key);
}

std::string SettingsStore::readBytes(std::string_view key, std::string_view defaultValue) const {
    const std::optional<std::string> bytes = readByteSetFile(byteSetPath(key));
    if (!bytes || bytes->empty()) return std::string(defaultValue);
    return *bytes;
}

void SettingsStore::writeBytes(std::string_view key, std::string_view bytes) {
    // A store that does not hold its settings file (a second copy of the
    // program, a read-only folder) keeps every change off the disk, byte
    // blocks included: the copy that holds the file owns them.
    if (!ini_.holdsFile()) return;
    const std::string path = byteSetPath(key);
    std::string error;
    if (!writeByteSetFile(path, bytes, &error) && saveDepth_ > 0)
        failures_.push_back(path + "：" + error);
}

void SettingsStore::writeValue(std::string_view key, std::string_view value) {
    // Inside a save the value only reaches the document, which always takes
    // it; the save's end writes the file and reports. Outside one, a file that
    // lags behind is brought up to date by the next write.
    ini_.writeKey(section_, key, value);
}

void SettingsStore::writeText(std::string_view key, std::string_view text) {
    writeValue(key, escapeLineBreaks(text));
}

std::string SettingsStore::readText(std::string_view key, std::string_view defaultValue) {
    return unescapeLineBreaks(ini_.readKey(section_, key, escapeLineBreaks(defaultValue)));
}

void SettingsStore::writeNumber(std::string_view key, double number) {
    writeValue(key, formatNumber(number));
}

double SettingsStore::readNumber(std::string_view key, double defaultValue) {
    return parseNumber(ini_.readKey(section_, key, formatNumber(defaultValue)));
}

void SettingsStore::writeBool(std::string_view key, bool value) {
    writeValue(key, boolText(value));
}

bool SettingsStore::readBool(std::string_view key, bool defaultValue) {
    return ini_.readKey(section_, key, boolText(defaultValue)) == boolText(true);
}

}  // namespace lct
