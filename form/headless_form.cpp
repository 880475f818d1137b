#include "form/headless_form.h"

#include <algorithm>

#include "platform/charset.h"

namespace lct {

class HeadlessForm::HeadlessControl final : public Control {
  public:
    HeadlessControl(const ControlRow& row, Control* parent)
        : name_(row.name),
          kind_(row.kind),
          parent_(parent),
          tag_(utf8ToGbk(row.tag)),
          text_(utf8ToGbk(row.text)),
          ticked_(row.ticked),
          enabled_(row.enabled),
          visible_(row.visible),
          comboStyle_(row.comboStyle) {
        for (std::string_view item : row.items)
            items_.push_back({utf8ToGbk(item), 0, false});
        if (hasSelection() && !items_.empty()) selected_ = 0;
    }

    const std::string& name() const override { return name_; }
    ControlKind kind() const override { return kind_; }
    Control* parent() const override { return parent_; }

    std::string tag() const override { return tag_; }
    void setTag(std::string_view tag) override { tag_ = tag; }

    std::string text() const override { return text_; }
    void setText(std::string_view text) override {
        text_ = text;
        marks_.clear();
    }

    std::vector<TextMark> marks() const override { return marks_; }
    void setMarks(std::vector<TextMark> marks) override {
        if (kind_ == ControlKind::EditBox) marks_ = std::move(marks);
    }

    bool ticked() const override { return ticked_; }
    void setTicked(bool ticked) override {
        if (kind_ == ControlKind::CheckBox || kind_ == ControlKind::RadioBox) ticked_ = ticked;
    }

    int selectedIndex() const override { return selected_; }
    void setSelectedIndex(int index) override {
        if (!hasSelection()) return;
        if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) index = -1;
        selected_ = index;
        if (kind_ == ControlKind::ComboBox && index >= 0)
            text_ = items_[static_cast<std::size_t>(index)].text;
    }

    std::vector<ListItem> items() const override { return items_; }
    void setItems(std::vector<ListItem> items) override {
        items_ = std::move(items);
        if (selected_ >= 0 && static_cast<std::size_t>(selected_) >= items_.size()) selected_ = -1;
    }

    int comboStyle() const override { return comboStyle_; }

    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }

    bool visible() const override { return visible_; }
    void setVisible(bool visible) override { visible_ = visible; }

    int progressRange() const override { return range_; }
    int progressPosition() const override { return position_; }
    void setProgress(int range, int position) override {
        range_ = std::max(range, 0);
        position_ = std::clamp(position, 0, range_);
    }

  private:
    bool hasSelection() const {
        return kind_ == ControlKind::ComboBox || kind_ == ControlKind::ListBox ||
               kind_ == ControlKind::CheckListBox;
    }

    std::string name_;
    ControlKind kind_;
    Control* parent_;
    std::vector<TextMark> marks_;
    std::string tag_;
    std::string text_;
    bool ticked_;
    bool enabled_;
    bool visible_;
    int comboStyle_;
    int selected_ = -1;
    std::vector<ListItem> items_;
    int range_ = 0;
    int position_ = 0;
};

HeadlessForm::HeadlessForm(const ControlTable& table) {
    controls_.reserve(table.size());
    for (const ControlRow& row : table) {
        Control* parent = row.parent.empty() ? nullptr : tryFind(row.parent);
        controls_.push_back(std::make_unique<HeadlessControl>(row, parent));
    }
}

HeadlessForm::~HeadlessForm() = default;

std::vector<Control*> HeadlessForm::controls() {
    std::vector<Control*> out;
    out.reserve(controls_.size());
    for (auto& c : controls_)
        out.push_back(c.get());
    return out;
}

Control* HeadlessForm::tryFind(std::string_view name) {
    for (auto& c : controls_) {
        if (c->name() == name) return c.get();
    }
    return nullptr;
}

MessageAnswer HeadlessForm::messageBox(std::string_view text, std::string_view caption,
                                       MessageButtons buttons, MessageIcon icon) {
    messages_.push_back({std::string(text), std::string(caption), buttons, icon});
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer_;
}

}  // namespace lct
