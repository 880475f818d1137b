// Saving and restoring the state of controls: the per-kind pairs of
// SettingsStore and persistWindow.

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/charset.h"
#include "settings/settings_store.h"
#include "settings/value_forms.h"

namespace lct {
namespace {

// The key of a control: its name in GBK, plus the suffix of the kind.
std::string keyOf(const Control& control, std::string_view suffixUtf8 = {}) {
    return utf8ToGbk(std::string(control.name()) + std::string(suffixUtf8));
}

constexpr std::string_view kTagSuffix = ".标记";
constexpr std::string_view kEditTextSuffix = ".内容";
constexpr std::string_view kItemsSuffix = ".项目";
constexpr std::string_view kTreeSuffix = ".列表";

const std::string& doNotSaveTag() {
    static const std::string tag = utf8ToGbk("禁止保存");
    return tag;
}

const std::string& byteBlockTag() {
    static const std::string tag = utf8ToGbk("字节集方式");
    return tag;
}

template <typename T>
bool contains(const std::vector<T>& list, const T& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

void SettingsStore::saveCheckBox(const Control& control) {
    writeBool(keyOf(control), control.ticked());
}

bool SettingsStore::restoreCheckBox(Control& control) {
    control.setTicked(readBool(keyOf(control), control.ticked()));
    return control.ticked();
}

void SettingsStore::saveEditBox(const Control& control, bool asBytes) {
    const std::string key = keyOf(control);
    if (asBytes)
        writeBytes(key, control.text());
    else
        writeText(key, control.text());
}

std::string SettingsStore::restoreEditBox(Control& control, bool asBytes) {
    const std::string key = keyOf(control);
    const std::string current = control.text();
    control.setText(asBytes ? readBytes(key, current) : readText(key, current));
    return control.text();
}

void SettingsStore::saveCheckListBox(const Control& control) {
    writeText(keyOf(control), encodeItems(control.items(), true));
}

std::vector<ListItem> SettingsStore::restoreCheckListBox(Control& control) {
    // A missing entry reads as the current list; the control is then left
    // alone rather than rebuilt from its encoding, which could not carry an
    // item text holding a separator.
    const std::string current = encodeItems(control.items(), true);
    const std::string stored = readText(keyOf(control), current);
    if (stored != current) control.setItems(decodeItems(stored, true));
    return control.items();
}

void SettingsStore::saveTreeBox(const Control& control) {
    writeBytes(keyOf(control, kTreeSuffix), control.text());
}

std::string SettingsStore::restoreTreeBox(Control& control) {
    control.setText(readBytes(keyOf(control, kTreeSuffix), control.text()));
    return control.text();
}

void SettingsStore::saveComboItems(const Control& control) {
    writeText(keyOf(control, kItemsSuffix), encodeItems(control.items(), false));
}

std::vector<ListItem> SettingsStore::restoreComboItems(Control& control) {
    const std::string current = encodeItems(control.items(), false);
    const std::string stored = readText(keyOf(control, kItemsSuffix), current);
    if (stored != current) control.setItems(decodeItems(stored, false));
    return control.items();
}

void SettingsStore::saveListBox(const Control& control) {
    writeText(keyOf(control), encodeItems(control.items(), false));
}

std::vector<ListItem> SettingsStore::restoreListBox(Control& control) {
    const std::string current = encodeItems(control.items(), false);
    const std::string stored = readText(keyOf(control), current);
    if (stored != current) control.setItems(decodeItems(stored, false));
    return control.items();
}

void SettingsStore::saveComboIndex(const Control& control) {
    writeNumber(keyOf(control), control.selectedIndex());
}

int SettingsStore::restoreComboIndex(Control& control) {
    const double stored = readNumber(keyOf(control), control.selectedIndex());
    // A damaged or stale index (beyond the items, negative, not a number) would
    // leave the box without a selection; keep the current one instead.
    const auto count = static_cast<double>(control.items().size());
    if (stored >= 0 && stored < count) {
        const int index = static_cast<int>(stored);
        if (index != control.selectedIndex()) control.setSelectedIndex(index);
    }
    return control.selectedIndex();
}

void SettingsStore::saveComboText(const Control& control) {
    writeText(keyOf(control, kEditTextSuffix), control.text());
}

std::string SettingsStore::restoreComboText(Control& control) {
    control.setText(readText(keyOf(control, kEditTextSuffix), control.text()));
    return control.text();
}

void SettingsStore::saveButtonTag(const Control& control, bool asBytes) {
    const std::string key = keyOf(control, kTagSuffix);
    if (asBytes)
        writeBytes(key, control.tag());
    else
        writeText(key, control.tag());
}

std::string SettingsStore::restoreButtonTag(Control& control, bool asBytes) {
    const std::string key = keyOf(control, kTagSuffix);
    const std::string current = control.tag();
    control.setTag(asBytes ? readBytes(key, current) : readText(key, current));
    return control.tag();
}

void SettingsStore::saveColourPicker(const Control& control) {
    writeNumber(keyOf(control), static_cast<double>(parseInteger(control.text())));
}

std::string SettingsStore::restoreColourPicker(Control& control) {
    const std::int64_t current = parseInteger(control.text());
    const double stored = readNumber(keyOf(control), static_cast<double>(current));
    // Colours are small integers; anything that is not one is left alone, and
    // so is an unchanged value (an empty text stays empty).
    constexpr double kLimit = 9.0e15;
    if (std::isfinite(stored) && std::fabs(stored) < kLimit) {
        const auto colour = static_cast<std::int64_t>(stored);
        if (colour != current) control.setText(std::to_string(colour));
    }
    return control.text();
}

void SettingsStore::saveRadioBox(const Control& control) {
    writeBool(keyOf(control), control.ticked());
}

bool SettingsStore::restoreRadioBox(Control& control) {
    control.setTicked(readBool(keyOf(control), control.ticked()));
    return control.ticked();
}

void SettingsStore::saveFileDialog(const Control& control) {
    writeText(keyOf(control), control.text());
}

std::string SettingsStore::restoreFileDialog(Control& control) {
    control.setText(readText(keyOf(control), control.text()));
    return control.text();
}

namespace {

// What a control's tag and the caller ask of its save or restore.
struct Persisting {
    bool asBytes;    // edit boxes and button tags: a byte block instead of a text
    bool withItems;  // combo boxes: the item list too
};

void saveComboBox(SettingsStore& store, const Control& control, Persisting how) {
    if (control.comboStyle() == kComboDropDownList)
        store.saveComboIndex(control);
    else
        store.saveComboText(control);
    if (how.withItems) store.saveComboItems(control);
}

void restoreComboBox(SettingsStore& store, Control& control, Persisting how) {
    // Items first: setting them may drop the selection, which is restored
    // afterwards against the restored items.
    if (how.withItems) store.restoreComboItems(control);
    if (control.comboStyle() == kComboDropDownList)
        store.restoreComboIndex(control);
    else
        store.restoreComboText(control);
}

// The save and restore operations of each kind of control that keeps a state.
struct KindOperations {
    ControlKind kind;
    void (*save)(SettingsStore&, const Control&, Persisting);
    void (*restore)(SettingsStore&, Control&, Persisting);
};

constexpr std::array kKindOperations = {
    KindOperations{
        ControlKind::Button,
        [](SettingsStore& s, const Control& c, Persisting how) { s.saveButtonTag(c, how.asBytes); },
        [](SettingsStore& s, Control& c, Persisting how) { s.restoreButtonTag(c, how.asBytes); }},
    KindOperations{
        ControlKind::EditBox,
        [](SettingsStore& s, const Control& c, Persisting how) { s.saveEditBox(c, how.asBytes); },
        [](SettingsStore& s, Control& c, Persisting how) { s.restoreEditBox(c, how.asBytes); }},
    KindOperations{ControlKind::CheckBox,
                   [](SettingsStore& s, const Control& c, Persisting) { s.saveCheckBox(c); },
                   [](SettingsStore& s, Control& c, Persisting) { s.restoreCheckBox(c); }},
    KindOperations{ControlKind::RadioBox,
                   [](SettingsStore& s, const Control& c, Persisting) { s.saveRadioBox(c); },
                   [](SettingsStore& s, Control& c, Persisting) { s.restoreRadioBox(c); }},
    KindOperations{ControlKind::ComboBox, saveComboBox, restoreComboBox},
    KindOperations{ControlKind::ListBox,
                   [](SettingsStore& s, const Control& c, Persisting) { s.saveListBox(c); },
                   [](SettingsStore& s, Control& c, Persisting) { s.restoreListBox(c); }},
    KindOperations{ControlKind::CheckListBox,
                   [](SettingsStore& s, const Control& c, Persisting) { s.saveCheckListBox(c); },
                   [](SettingsStore& s, Control& c, Persisting) { s.restoreCheckListBox(c); }},
    KindOperations{ControlKind::ColourPicker,
                   [](SettingsStore& s, const Control& c, Persisting) { s.saveColourPicker(c); },
                   [](SettingsStore& s, Control& c, Persisting) { s.restoreColourPicker(c); }},
    KindOperations{ControlKind::FileDialog,
                   [](SettingsStore& s, const Control& c, Persisting) { s.saveFileDialog(c); },
                   [](SettingsStore& s, Control& c, Persisting) { s.restoreFileDialog(c); }},
    KindOperations{ControlKind::TreeBox,
                   [](SettingsStore& s, const Control& c, Persisting) { s.saveTreeBox(c); },
                   [](SettingsStore& s, Control& c, Persisting) { s.restoreTreeBox(c); }},
};

// The operations of `kind`; nullptr for a kind that keeps no state (labels,
// panels, ...).
const KindOperations* operationsOf(ControlKind kind) {
    for (const KindOperations& operations : kKindOperations) {
        if (operations.kind == kind) return &operations;
    }
    return nullptr;
}

}  // namespace

SaveOutcome SettingsStore::persistWindow(Form& window, bool restore, std::string_view section,
                                         const std::vector<Control*>& controls,
                                         const std::vector<std::string>& namesToSkip,
                                         const std::vector<const Control*>& containersToSkip,
                                         bool withItems,
                                         const std::vector<std::string>& namesToHandle,
                                         const std::vector<const Control*>& containersToHandle) {
    if (!section.empty()) selectSection(section);
    // A whole window is saved as one replacement of the settings file.
    if (!restore) beginSave();
    const std::vector<Control*> list = controls.empty() ? window.controls() : controls;
    for (Control* control : list) {
        if (!control) continue;
        const std::string& name = control->name();
        if (name.empty()) continue;
        if (!namesToHandle.empty()) {
            if (!contains(namesToHandle, name)) continue;
        } else if (contains(namesToSkip, name)) {
            continue;
        }
        // A name that announces one kind on a control of another is a fault of
        // the window's definition; acting on it would store the wrong property.
        const ControlKind kind = kindFromName(name);
        if (!operationsOf(kind) || control->kind() != kind) continue;
        if (control->tag() == doNotSaveTag()) continue;
        const Control* parent = control->parent();
        if (contains(containersToSkip, parent)) continue;
        if (!containersToHandle.empty() && !contains(containersToHandle, parent)) continue;
        persistControl(*control, restore, withItems);
    }
    return restore ? SaveOutcome{} : finishSave();
}

void SettingsStore::persistControl(Control& control, bool restore, bool withItems) {
    const KindOperations* operations = operationsOf(control.kind());
    if (!operations) return;
    const Persisting how{control.tag() == byteBlockTag(), withItems};
    if (restore) {
        operations->restore(*this, control, how);
        return;
    }
    // Only persistWindow saves controls here, inside a save of its own, whose
    // outcome tells what could not be saved.
    operations->save(*this, control, how);
}

}  // namespace lct
