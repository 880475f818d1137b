#pragma once
// The settings store: the program's one settings object.
//
// Lower half: the settings document (IniDocument), an INI-style GBK file held
// open and edited in place. Upper half: typed values under a current section
// (texts with their line breaks escaped, numbers, booleans, byte blocks kept in
// files of their own in the folder "inibin" beside the settings file) and the
// saving and restoring of controls of a Form, one at a time or a whole window
// through persistWindow.
//
// Every value is read with a default, and an empty stored value reads as the
// default: restoring never clears a control. Sections, keys and values are GBK;
// a control's key is its UTF-8 name converted to GBK, plus a suffix for some
// kinds (".标记", ".内容", ".项目", ".列表").

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "form/form.h"
#include "settings/ini_document.h"
#include "settings/item_list.h"

namespace lct {

/// What a save achieved.
struct SaveOutcome {
    bool held = true;  ///< false: another copy of the program holds the settings; nothing was saved
    std::vector<std::string> failures;  ///< what could not be saved, each with why (UTF-8)
    bool ok() const { return held && failures.empty(); }
};

/// The message box text after a save (GBK): "保存完毕！" when everything was
/// saved; that another running copy holds the settings and nothing was saved;
/// or the list of what could not be saved.
std::string saveReport(const SaveOutcome& outcome);

class SettingsStore {
  public:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // ---- The document (see IniDocument for the contracts) ----

    void close() { ini_.close(); }
    std::string readKey(std::string_view section, std::string_view key,
                        std::string_view defaultValue, bool emptyMeansMissing = true) {
        return ini_.readKey(section, key, defaultValue, emptyMeansMissing);
    }
    std::int64_t headerBetween(std::int64_t from, std::int64_t to) const {
        return ini_.headerBetween(from, to);
    }

    /// Saves (restore false) or restores (restore true) the controls of `window`
    /// under `section` (selected first when not empty). `controls`: the
    /// controls to handle, in order; empty means every control of the window in
    /// its own order. A control is skipped when its name is empty; when
    /// `namesToHandle` is not empty and does not hold its name, or else when
    /// `namesToSkip` holds it (UTF-8, compared byte for byte); when its name
    /// announces no stored kind (labels, panels, ...) or a kind other than its
    /// real kind; when its tag is "禁止保存"; when its parent is one of
    /// `containersToSkip`, or `containersToHandle` is not empty and does not
    /// hold its parent (nullptr stands for the window itself). Edit boxes and
    /// buttons tagged "字节集方式" use byte blocks. Combo boxes store their
    /// selected index (drop-down list style) or their edit text, and with
    /// `withItems` their item list too; restoring sets the items first, so the
    /// restored selection applies to the restored items. Never lets the
    /// window process its pending messages: the controls are saved or restored
    /// as one, with no event handler changing them half-way. A save is one
    /// save (beginSave … finishSave) and returns what it achieved; a restore
    /// returns an outcome without failures.
    SaveOutcome persistWindow(Form& window, bool restore, std::string_view section = {},
                              const std::vector<Control*>& controls = {},
                              const std::vector<std::string>& namesToSkip = {},
                              const std::vector<const Control*>& containersToSkip = {},
                              bool withItems = false,
                              const std::vector<std::string>& namesToHandle = {},
                              const std::vector<const Control*>& containersToHandle = {});

    /// Opens the settings file at `path` (a file-system path), waiting up to
    /// `wait` for another holder; see IniDocument::open. The path also locates
    /// the "inibin" folder.
    [[nodiscard]] bool open(std::string_view path, std::chrono::milliseconds wait = {});
    /// Reads the settings file at `path` without holding it (readers of the
    /// command line); see IniDocument::load. Writes then stay in memory.
    [[nodiscard]] bool load(std::string_view path) { return ini_.load(path); }
    /// True while the store holds its settings file and may write it.
    bool holdsFile() const { return ini_.holdsFile(); }
    /// How the last open() or load() went with the settings file, and why it
    /// did not get it (UTF-8); see IniDocument::access.
    FileAccess fileAccess() const { return ini_.access(); }
    const std::string& fileAccessError() const { return ini_.accessError(); }

    /// Starts a save: the writes until the matching finishSave reach the
    /// settings file together, as one atomic replacement. Saves nest.
    void beginSave();
    /// Ends a save. The outermost one writes the settings file, unless a value
    /// of the save could not be saved (a byte block): then the file stays as it
    /// was and the document keeps the changes for the next save. Returns what
    /// the save achieved (an inner save reports only its own failures so far).
    [[nodiscard]] SaveOutcome finishSave();

    /// Makes `name` (GBK) the section of every typed and per-control operation.
    void selectSection(std::string_view name) { section_ = name; }

    // ---- Typed values under the current section; keys GBK ----
    //
    // Writes are meant for a save (beginSave … finishSave), which tells what
    // could not be saved: inside one, a value reaches the document and the
    // file is written at its end; a byte block that cannot be written is noted
    // for its outcome. Outside a save a value reaches the file at once, and a
    // file that could not be written catches up with the next write.

    /// The content of the key's byte-set file; `defaultValue` when the file is
    /// missing, empty or unreadable.
    std::string readBytes(std::string_view key, std::string_view defaultValue) const;
    /// Replaces the key's byte-set file with `bytes`, creating the "inibin"
    /// folder when missing. Nothing is written while the store does not hold
    /// its settings file (open() returned false), so that a second copy of the
    /// program leaves the files alone.
    void writeBytes(std::string_view key, std::string_view bytes);

    /// Stores `text` with every CR LF written as "┊*┊".
    void writeText(std::string_view key, std::string_view text);
    /// The stored text with its line breaks restored, or `defaultValue`.
    std::string readText(std::string_view key, std::string_view defaultValue);

    /// Stores `number` in the "%.13g" form.
    void writeNumber(std::string_view key, double number);
    /// The leading number of the stored text (full-width digits read as ASCII;
    /// 0 when the text starts with no number), or `defaultValue` when missing.
    double readNumber(std::string_view key, double defaultValue);

    /// Stores "真" or "假".
    void writeBool(std::string_view key, bool value);
    /// True exactly when the stored text (or the default's form) is "真".
    bool readBool(std::string_view key, bool defaultValue);

    // ---- Controls: save writes the control's state under its key (as the
    // typed writes do); restore reads it with the current state as default,
    // puts it into the control and returns the state now shown. ----

    /// Ticked state, key = name.
    void saveCheckBox(const Control& control);
    bool restoreCheckBox(Control& control);

    /// Content, key = name; as a byte block when `asBytes`.
    void saveEditBox(const Control& control, bool asBytes = false);
    std::string restoreEditBox(Control& control, bool asBytes = false);

    /// Items with values and check marks, key = name.
    void saveCheckListBox(const Control& control);
    std::vector<ListItem> restoreCheckListBox(Control& control);

    /// The tree's serialised content (the control's text) as a byte block,
    /// key = name + ".列表".
    void saveTreeBox(const Control& control);
    std::string restoreTreeBox(Control& control);

    /// A combo box's items, key = name + ".项目".
    void saveComboItems(const Control& control);
    std::vector<ListItem> restoreComboItems(Control& control);

    /// Items with values, key = name.
    void saveListBox(const Control& control);
    std::vector<ListItem> restoreListBox(Control& control);

    /// Selected index of a drop-down list combo box, as a number, key = name. A
    /// stored index outside the current items leaves the selection unchanged.
    void saveComboIndex(const Control& control);
    int restoreComboIndex(Control& control);

    /// Edit text of an editable combo box, key = name + ".内容".
    void saveComboText(const Control& control);
    std::string restoreComboText(Control& control);

    /// Tag text, key = name + ".标记"; as a byte block when `asBytes`.
    void saveButtonTag(const Control& control, bool asBytes = false);
    std::string restoreButtonTag(Control& control, bool asBytes = false);

    /// The colour, held by the control as its text (a decimal integer), stored
    /// as a number, key = name.
    void saveColourPicker(const Control& control);
    std::string restoreColourPicker(Control& control);

    /// Ticked state, key = name.
    void saveRadioBox(const Control& control);
    bool restoreRadioBox(Control& control);

    /// The chosen file name (the control's text), key = name.
    void saveFileDialog(const Control& control);
    std::string restoreFileDialog(Control& control);

    // ---- Extras ----

    const std::string& section() const { return section_; }
    const std::string& settingsPath() const { return ini_.path(); }
    const IniDocument& document() const { return ini_; }
    /// The byte-set file of `key` in the current section; empty when none can be formed.
    std::string byteSetPath(std::string_view key) const;

  private:
    void writeValue(std::string_view key, std::string_view value);
    void persistControl(Control& control, bool restore, bool withItems);

    IniDocument ini_;
    std::string section_;
    int saveDepth_ = 0;
    std::vector<std::string> failures_;  // of the save going on
};

}  // namespace lct
