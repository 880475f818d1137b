#include "form/qt_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <memory>

#include "form/pending_messages.h"
#include "form/qt_long_lines.h"
#include "form/qt_result_box.h"
#include "platform/charset.h"

namespace lct {
namespace {

constexpr const char* kTagProperty = "lctTag";

QString lineBreaksToLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Text dragged from another box is copied, never moved. Qt's text boxes take
// a drop with the action the drag proposes, and a proposed move makes the box
// it came from cut the text out. Inside one box a drag still moves the text.
class CopyingDrops final : public QObject {
  public:
    // Watches `target` (the box itself, or its viewport) for `box`.
    CopyingDrops(QWidget* box, QWidget* target) : QObject(box), box_(box) {
        target->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        if (fromThisBox(drop->source()) || drop->proposedAction() == Qt::CopyAction ||
            !(drop->possibleActions() & Qt::CopyAction))
            return false;
        // The same event offering only a copy; the box handles it as usual.
        const QPoint at = drop->position().toPoint();
        std::unique_ptr<QDropEvent> copy;
        if (type == QEvent::DragEnter)
            copy = std::make_unique<QDragEnterEvent>(at, Qt::CopyAction, drop->mimeData(),
                                                     drop->buttons(), drop->modifiers());
        else if (type == QEvent::DragMove)
            copy = std::make_unique<QDragMoveEvent>(at, Qt::CopyAction, drop->mimeData(),
                                                    drop->buttons(), drop->modifiers());
        else
            copy = std::make_unique<QDropEvent>(drop->position(), Qt::CopyAction, drop->mimeData(),
                                                drop->buttons(), drop->modifiers());
        QCoreApplication::sendEvent(watched, copy.get());
        drop->setDropAction(copy->dropAction());
        drop->setAccepted(copy->isAccepted());
        return true;
    }

  private:
    bool fromThisBox(const QObject* source) const {
        const auto* widget = qobject_cast<const QWidget*>(source);
        return widget && (widget == box_ || box_->isAncestorOf(widget));
    }

    QWidget* box_;
};

QWidget* makeEditBox(const ControlRow& row, const QString& text, QWidget* parent) {
    if (!row.multiLine) {
        auto* line = new QLineEdit(text, parent);
        new CopyingDrops(line, line);
        return line;
    }
    QWidget* box = nullptr;
    QPlainTextEdit* edit = nullptr;
    if (row.breaksLongLines) {
        auto* result = new ResultBox(parent);
        result->setFullText(text);
        box = result;
        edit = result->editor();
    } else {
        edit = new QPlainTextEdit(parent);
        edit->setPlainText(text);
        box = edit;
    }
    edit->setTabChangesFocus(!row.typesTabs);
    new CopyingDrops(edit, edit->viewport());
    return box;
}

QWidget* makeWidget(const ControlRow& row, QWidget* parent) {
    const QString text = toQString(utf8ToGbk(row.text));
    switch (row.kind) {
        case ControlKind::Button:
            return new QPushButton(text, parent);
        case ControlKind::EditBox:
            return makeEditBox(row, text, parent);
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, parent);
            box->setChecked(row.ticked);
            return box;
        }
        case ControlKind::RadioBox: {
            auto* radio = new QRadioButton(text, parent);
            // Windows keep their radio boxes exclusive themselves: the two
            // mode radio boxes of the main window sit in different panels.
            radio->setAutoExclusive(false);
            radio->setChecked(row.ticked);
            return radio;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(row.comboStyle != kComboDropDownList);
            for (std::string_view item : row.items)
                combo->addItem(toQString(utf8ToGbk(item)));
            return combo;
        }
        case ControlKind::ListBox:
        case ControlKind::CheckListBox:
            return new QListWidget(parent);
        case ControlKind::GroupBox:
            return new QGroupBox(text, parent);
        case ControlKind::Link: {
            auto* link = new QPushButton(text, parent);
            link->setFlat(true);
            link->setCursor(Qt::PointingHandCursor);
            link->setStyleSheet(
                QStringLiteral("QPushButton { color: #1a5fb4; text-decoration: "
                               "underline; border: none; padding: 2px; }"));
            return link;
        }
        case ControlKind::ProgressBar:
            return new QProgressBar(parent);
        case ControlKind::Label:
        case ControlKind::Picture:
            return new QLabel(text, parent);
        default: {
            auto* placeholder = new QWidget(parent);
            placeholder->setFixedSize(0, 0);
            return placeholder;
        }
    }
}

}  // namespace

QString toQString(std::string_view gbk) {
    return lineBreaksToLf(fromUtf8(gbkToUtf8(gbk)));
}

std::string fromQString(const QString& text) {
    QString crlf = lineBreaksToLf(text);
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const QByteArray utf8 = crlf.toUtf8();
    return utf8ToGbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

class QtForm::QtControl final : public Control {
  public:
    QtControl(const ControlRow& row, QWidget* widget, Control* parent)
        : name_(row.name), kind_(row.kind), widget_(widget), parent_(parent) {
        widget_->setObjectName(fromUtf8(row.name));
        widget_->setProperty(kTagProperty, toQString(utf8ToGbk(row.tag)));
        if (!row.enabled) widget_->setEnabled(false);
        if (!row.visible) widget_->setVisible(false);
    }

    QWidget* widget() const { return widget_; }

    const std::string& name() const override { return name_; }
    ControlKind kind() const override { return kind_; }
    Control* parent() const override { return parent_; }

    std::string tag() const override {
        return fromQString(widget_->property(kTagProperty).toString());
    }
    void setTag(std::string_view tag) override {
        widget_->setProperty(kTagProperty, toQString(tag));
    }

    std::string text() const override {
        if (auto* b = qobject_cast<QAbstractButton*>(widget_)) return fromQString(b->text());
        if (auto* line = qobject_cast<QLineEdit*>(widget_)) return fromQString(line->text());
        if (auto* box = qobject_cast<ResultBox*>(widget_)) return fromQString(box->fullText());
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_))
            return fromQString(edit->toPlainText());
        if (auto* c = qobject_cast<QComboBox*>(widget_)) return fromQString(c->currentText());
        if (auto* l = qobject_cast<QLabel*>(widget_)) return fromQString(l->text());
        if (auto* g = qobject_cast<QGroupBox*>(widget_)) return fromQString(g->title());
        return {};
    }
    void setText(std::string_view text) override {
        const QString q = toQString(text);
        if (auto* b = qobject_cast<QAbstractButton*>(widget_)) {
            b->setText(q);
        } else if (auto* line = qobject_cast<QLineEdit*>(widget_)) {
            if (!marks_.empty()) setMarks({});
            line->setText(q);
            shown_ = text;
        } else if (auto* box = qobject_cast<ResultBox*>(widget_)) {
            box->setFullText(q);
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_)) {
            if (!marks_.empty()) setMarks({});
            edit->setPlainText(q);
            shown_ = text;
        } else if (auto* c = qobject_cast<QComboBox*>(widget_)) {
            if (c->isEditable()) c->setEditText(q);
        } else if (auto* l = qobject_cast<QLabel*>(widget_)) {
            l->setText(q);
        } else if (auto* g = qobject_cast<QGroupBox*>(widget_)) {
            g->setTitle(q);
        }
    }

    bool ticked() const override {
        if (kind_ != ControlKind::CheckBox && kind_ != ControlKind::RadioBox) return false;
        auto* b = qobject_cast<QAbstractButton*>(widget_);
        return b && b->isChecked();
    }
    void setTicked(bool ticked) override {
        if (kind_ != ControlKind::CheckBox && kind_ != ControlKind::RadioBox) return;
        if (auto* b = qobject_cast<QAbstractButton*>(widget_)) b->setChecked(ticked);
    }

    int selectedIndex() const override {
        if (auto* c = qobject_cast<QComboBox*>(widget_)) return c->currentIndex();
        if (auto* l = qobject_cast<QListWidget*>(widget_)) return l->currentRow();
        return -1;
    }
    void setSelectedIndex(int index) override {
        if (auto* c = qobject_cast<QComboBox*>(widget_)) {
            c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
        } else if (auto* l = qobject_cast<QListWidget*>(widget_)) {
            l->setCurrentRow(index >= 0 && index < l->count() ? index : -1);
        }
    }

    std::vector<ListItem> items() const override {
        std::vector<ListItem> out;
        if (auto* c = qobject_cast<QComboBox*>(widget_)) {
            for (int i = 0; i < c->count(); ++i)
                out.push_back({fromQString(c->itemText(i)), c->itemData(i).toLongLong(), false});
        } else if (auto* l = qobject_cast<QListWidget*>(widget_)) {
            for (int i = 0; i < l->count(); ++i) {
                const QListWidgetItem* item = l->item(i);
                out.push_back({fromQString(item->text()), item->data(Qt::UserRole).toLongLong(),
                               item->checkState() == Qt::Checked});
            }
        }
        return out;
    }
    void setItems(std::vector<ListItem> items) override {
        if (auto* c = qobject_cast<QComboBox*>(widget_)) {
            c->clear();
            for (const ListItem& item : items)
                c->addItem(toQString(item.text), QVariant::fromValue<qlonglong>(item.value));
        } else if (auto* l = qobject_cast<QListWidget*>(widget_)) {
            l->clear();
            for (const ListItem& item : items) {
                auto* row = new QListWidgetItem(toQString(item.text), l);
                row->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(item.value));
                if (kind_ == ControlKind::CheckListBox)
                    row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
            }
        }
    }

    int comboStyle() const override {
        auto* c = qobject_cast<QComboBox*>(widget_);
        return c && c->isEditable() ? 1 : kComboDropDownList;
    }

    // A control's own state: a control inside a disabled or hidden panel keeps
    // its own flags, so that window logic reads back what it set.
    bool enabled() const override { return !widget_->testAttribute(Qt::WA_ForceDisabled); }
    void setEnabled(bool enabled) override { widget_->setEnabled(enabled); }
    bool visible() const override { return !widget_->isHidden(); }
    void setVisible(bool visible) override { widget_->setVisible(visible); }

    std::vector<TextMark> marks() const override { return marks_; }
    void setMarks(std::vector<TextMark> marks) override {
        auto* line = qobject_cast<QLineEdit*>(widget_);
        auto* edit = qobject_cast<QPlainTextEdit*>(widget_);
        if (!line && !edit) return;
        marks_ = std::move(marks);
        const std::vector<std::pair<int, int>> ranges = utf16Ranges();
        QTextCharFormat format;
        format.setBackground(markBackground());
        if (edit) {
            QList<QTextEdit::ExtraSelection> selections;
            for (const auto& [begin, end] : ranges) {
                QTextEdit::ExtraSelection selection;
                selection.cursor = QTextCursor(edit->document());
                selection.cursor.setPosition(begin);
                selection.cursor.setPosition(end, QTextCursor::KeepAnchor);
                selection.format = format;
                selections.append(selection);
            }
            edit->setExtraSelections(selections);
            return;
        }
        // A line edit paints formats only as input-method attributes, which
        // count from the cursor: it goes to the start (which also shows the
        // start of the text), and the text itself does not change.
        line->setCursorPosition(0);
        QList<QInputMethodEvent::Attribute> attributes;
        for (const auto& [begin, end] : ranges)
            attributes.append({QInputMethodEvent::TextFormat, begin, end - begin, format});
        QInputMethodEvent event(QString(), attributes);
        QCoreApplication::sendEvent(line, &event);
    }

    int progressRange() const override {
        auto* p = qobject_cast<QProgressBar*>(widget_);
        return p ? p->maximum() : 0;
    }
    int progressPosition() const override {
        auto* p = qobject_cast<QProgressBar*>(widget_);
        return p ? std::max(p->value(), 0) : 0;
    }
    void setProgress(int range, int position) override {
        if (auto* p = qobject_cast<QProgressBar*>(widget_)) {
            p->setRange(0, std::max(range, 0));
            p->setValue(std::clamp(position, 0, std::max(range, 0)));
        }
    }

  private:
    // The marks as UTF-16 ranges of the widget's text: each stretch between
    // two mark edges converted on its own, as the whole text was.
    std::vector<std::pair<int, int>> utf16Ranges() const {
        std::vector<std::pair<int, int>> ranges;
        const std::string_view text = shown_;
        std::size_t byte = 0;
        qsizetype unit = 0;
        const auto advance = [&](std::size_t to) {
            to = std::min(std::max(to, byte), text.size());
            unit += toQString(text.substr(byte, to - byte)).size();
            byte = to;
            return static_cast<int>(unit);
        };
        for (const TextMark& mark : marks_) {
            const int begin = advance(mark.begin);
            const int end = advance(mark.end);
            if (end > begin) ranges.emplace_back(begin, end);
        }
        return ranges;
    }

    static QColor markBackground() { return QColor(0xFF, 0xE8, 0x8C); }

    std::string name_;
    ControlKind kind_;
    QWidget* widget_;
    Control* parent_;
    std::string shown_;  // an edit box's text as last set (GBK), for its marks
    std::vector<TextMark> marks_;
};

QtForm::QtForm(QWidget& window, const ControlTable& table) : window_(window) {
    controls_.reserve(table.size());
    for (const ControlRow& row : table) {
        QtControl* panel = nullptr;
        if (!row.parent.empty()) panel = static_cast<QtControl*>(tryFind(row.parent));
        QWidget* parentWidget = panel ? panel->widget() : &window_;
        controls_.push_back(std::make_unique<QtControl>(row, makeWidget(row, parentWidget), panel));
    }
}

QtForm::~QtForm() = default;

QWidget* QtForm::widget(std::string_view name) const {
    for (const auto& c : controls_) {
        if (c->name() == name) return c->widget();
    }
    reportMissingControl(name);
    return nullptr;
}

std::vector<Control*> QtForm::controls() {
    std::vector<Control*> out;
    out.reserve(controls_.size());
    for (auto& c : controls_)
        out.push_back(c.get());
    return out;
}

Control* QtForm::tryFind(std::string_view name) {
    for (auto& c : controls_) {
        if (c->name() == name) return c.get();
    }
    return nullptr;
}

namespace {

// What a title bar takes beside the title: the icon and the buttons to close,
// maximize and minimize, with some room.
constexpr int kTitleBarButtonsWidth = 160;

}  // namespace

MessageAnswer QtForm::messageBox(std::string_view text, std::string_view caption,
                                 MessageButtons buttons, MessageIcon icon) {
    if (silenced_) return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    QMessageBox box(
        icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
        caption.empty() ? window_.windowTitle() : toQString(caption), toQString(text),
        buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        &window_);
    // A short message gives a narrow box, whose title bar would cut the title
    // ("青…"): the box is made wide enough for it and the title bar's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleWidth =
            box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarButtonsWidth;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::string QtForm::clipboardText() {
    return fromQString(QApplication::clipboard()->text());
}

void QtForm::setClipboardText(std::string_view text) {
    QApplication::clipboard()->setText(toQString(text));
}

void QtForm::focus(Control& control) {
    if (QWidget* w = widget(control.name())) w->setFocus();
}

void installQtPendingMessagesHandler() {
    setPendingMessagesHandler([timer = QElapsedTimer()]() mutable {
        if (timer.isValid() && timer.elapsed() < 20) return;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        timer.start();
    });
}

}  // namespace lct
