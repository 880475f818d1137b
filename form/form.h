#pragma once
// The toolkit interface. Window logic (enable rules, options reading, settings)
// never touches a widget toolkit: it works on a Form, a window, and its
// Controls. Two implementations exist: the headless form (form/headless_form.h),
// built from a window's control table and used by the command line and the
// tests, and the Qt form, adapters over real widgets.
//
// Names are the controls' Chinese identifiers as UTF-8 (their prefix tells the
// kind, see kindFromName). Every text that a control holds (caption, content,
// tag, item texts) is GBK, like every text of the engine.
//
// Each window's names are constants beside its control table, and code names a
// control only through them. Asking a form for a name it does not have is then
// a programming error: Form::find reports it at once in a debug build (the
// test build is one), so a typo cannot silently read a default. Names that do
// not come from the program's own code use Form::tryFind.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lct {

enum class ControlKind {
    Button,
    EditBox,
    CheckBox,
    RadioBox,
    ComboBox,
    ListBox,
    CheckListBox,
    ColourPicker,
    FileDialog,
    TreeBox,
    Label,
    GroupBox,
    Link,
    Picture,
    ProgressBar,
    DropTarget,
    Unknown,
};

/// The kind that a control name announces by its prefix ("编辑框…" edit box,
/// "选择框…" check box, "标签…" label, …); Unknown when no prefix fits.
ControlKind kindFromName(std::string_view name);

/// Combo box style whose edit part cannot be typed into (a drop-down list);
/// its state is the selected index. Other styles keep an edit text.
constexpr int kComboDropDownList = 2;

struct ListItem {
    std::string text;  ///< GBK
    std::int64_t value = 0;
    bool checked = false;  ///< check list boxes only

    bool operator==(const ListItem&) const = default;
};

/// A stretch of an edit box's text to mark: byte offsets [begin, end) of its
/// GBK text as set (CR LF line breaks), at character boundaries.
struct TextMark {
    std::size_t begin = 0;
    std::size_t end = 0;

    bool operator==(const TextMark&) const = default;
};

/// One control of a window. Setters show at once; a property that a kind does
/// not have reads as its empty value and ignores writes.
class Control {
  public:
    virtual ~Control() = default;

    virtual const std::string& name() const = 0;  ///< UTF-8 identifier
    virtual ControlKind kind() const = 0;         ///< the widget's real kind
    virtual Control* parent() const = 0;          ///< containing panel; nullptr for the window

    virtual std::string tag() const = 0;
    virtual void setTag(std::string_view tag) = 0;

    /// Caption of buttons, labels, boxes and panels; content of edit boxes;
    /// edit text of combo boxes.
    virtual std::string text() const = 0;
    virtual void setText(std::string_view text) = 0;

    virtual bool ticked() const = 0;  ///< check and radio boxes
    virtual void setTicked(bool ticked) = 0;

    virtual int selectedIndex() const = 0;  ///< combo and list boxes, 0-based; -1 for none
    virtual void setSelectedIndex(int index) = 0;

    virtual std::vector<ListItem> items() const = 0;
    virtual void setItems(std::vector<ListItem> items) = 0;

    virtual int comboStyle() const = 0;

    virtual bool enabled() const = 0;  ///< the control's own state, not its panel's
    virtual void setEnabled(bool enabled) = 0;

    virtual bool visible() const = 0;  ///< the control's own state, not its panel's
    virtual void setVisible(bool visible) = 0;

    /// Edit boxes: paints the marked stretches of the text (sorted, not
    /// overlapping) on a light background; the text itself stays as it is, so
    /// reading or copying it gives it unmarked. setText clears the marks.
    /// Other kinds read none and ignore writes.
    virtual std::vector<TextMark> marks() const = 0;
    virtual void setMarks(std::vector<TextMark> marks) = 0;

    virtual int progressRange() const = 0;  ///< progress bars
    virtual int progressPosition() const = 0;
    virtual void setProgress(int range, int position) = 0;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { Information, Warning };
enum class MessageAnswer { Ok, Yes, No };

/// A window: its controls in their own order, message boxes and the clipboard.
class Form {
  public:
    virtual ~Form() = default;

    virtual std::vector<Control*> controls() = 0;

    /// The control of that name, which must be one of the form's own: for any
    /// other name a debug build prints it and aborts (reportMissingControl); a
    /// release build gives nullptr.
    [[nodiscard]] Control* find(std::string_view name);

    /// The control of that name, or nullptr when the form has none. For names
    /// the program does not choose (typed by a user) and for code that serves
    /// forms with and without the control.
    [[nodiscard]] virtual Control* tryFind(std::string_view name) = 0;

    /// Shows a modal message box (texts in GBK) and returns the button pressed.
    virtual MessageAnswer messageBox(std::string_view text, std::string_view caption,
                                     MessageButtons buttons, MessageIcon icon) = 0;

    virtual std::string clipboardText() = 0;  ///< GBK; empty when there is none
    virtual void setClipboardText(std::string_view text) = 0;

    /// Gives the keyboard focus to a control.
    virtual void focus(Control& control) = 0;
};

/// The integer an edit box holds: an optional sign and the leading decimal
/// digits; reading stops at the first other character; no number gives 0.
/// Values beyond the int range are clamped.
int leadingInteger(std::string_view text);

/// A lookup of a name that the form does not have: a debug build prints the
/// name on standard error and aborts; a release build returns and the caller
/// goes on with its empty value. Form::find and the Qt form's widget lookup
/// call it.
void reportMissingControl(std::string_view name);

// Reading controls by name, through Form::find: the name must be the form's.
// (In a release build a missing control reads as the empty value.)
[[nodiscard]] std::string textOf(Form& form, std::string_view name);
[[nodiscard]] bool tickedOf(Form& form, std::string_view name);
[[nodiscard]] int indexOf(Form& form, std::string_view name);
[[nodiscard]] int integerOf(Form& form, std::string_view name);

}  // namespace lct
