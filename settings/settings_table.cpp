#include "settings/settings_table.h"

#include <cmath>
#include <string>

#include "platform/charset.h"
#include "platform/gbk_text.h"

namespace lct {
namespace {

constexpr std::string_view kSpace = "[#kg#]";

std::string keyOf(const SettingsRow& row) {
    return utf8ToGbk(row.key.empty() ? row.control : row.key);
}

void restoreIndex(SettingsStore& store, Control& control, const std::string& key) {
    const double value = store.readNumber(key, control.selectedIndex());
    const auto count = static_cast<double>(control.items().size());
    // A damaged value keeps the current item rather than selecting none.
    if (value >= 0 && value < count) control.setSelectedIndex(static_cast<int>(value));
}

void restoreRadioPair(SettingsStore& store, Form& form, Control& control, const SettingsRow& row) {
    const double value = store.readNumber(keyOf(row), control.ticked() ? 0 : 1);
    const bool first = std::fabs(value) < 1e-7;
    control.setTicked(first);
    if (Control* partner = form.find(row.partner)) partner->setTicked(!first);
}

void restore(SettingsStore& store, Form& form, const SettingsRow& row) {
    Control* control = form.find(row.control);
    if (!control) return;
    const std::string key = keyOf(row);
    switch (row.as) {
        case StoredAs::Tick:
            control->setTicked(store.readBool(key, control->ticked()));
            break;
        case StoredAs::Text:
            control->setText(store.readText(key, control->text()));
            break;
        case StoredAs::SpacedText:
            control->setText(
                replaceAtBoundaries(store.readText(key, control->text()), kSpace, " "));
            break;
        case StoredAs::Bytes:
            control->setText(store.readBytes(key, control->text()));
            break;
        case StoredAs::Index:
            restoreIndex(store, *control, key);
            break;
        case StoredAs::Tag:
            control->setTag(store.readText(key, control->tag()));
            break;
        case StoredAs::RadioPair:
            restoreRadioPair(store, form, *control, row);
            break;
    }
}

// Saves one row (a row whose control the form lacks has nothing to save).
void save(SettingsStore& store, Form& form, const SettingsRow& row) {
    const Control* control = form.find(row.control);
    if (!control) return;
    const std::string key = keyOf(row);
    switch (row.as) {
        case StoredAs::Tick:
            store.writeBool(key, control->ticked());
            break;
        case StoredAs::Text:
            store.writeText(key, control->text());
            break;
        case StoredAs::SpacedText:
            store.writeText(key, replaceAtBoundaries(control->text(), " ", kSpace));
            break;
        case StoredAs::Bytes:
            store.writeBytes(key, control->text());
            break;
        case StoredAs::Index:
            store.writeNumber(key, control->selectedIndex());
            break;
        case StoredAs::Tag:
            store.writeText(key, control->tag());
            break;
        case StoredAs::RadioPair:
            store.writeNumber(key, control->ticked() ? 0 : 1);
            break;
    }
}

template <typename Action>
void forEachRow(SettingsStore& store, SettingsTable table, Action action) {
    for (const SettingsSection& section : table) {
        store.selectSection(utf8ToGbk(section.name));
        for (const SettingsRow& row : section.rows)
            action(row);
    }
}

}  // namespace

void restoreWindowSettings(SettingsStore& store, Form& form, SettingsTable table) {
    forEachRow(store, table, [&](const SettingsRow& row) { restore(store, form, row); });
}

SaveOutcome saveWindowSettings(SettingsStore& store, Form& form, SettingsTable table) {
    store.beginSave();
    // Inside the save a value only reaches the document, and a byte block that
    // cannot be written is noted for finishSave: its outcome holds every failure.
    forEachRow(store, table, [&](const SettingsRow& row) { save(store, form, row); });
    return store.finishSave();
}

}  // namespace lct
