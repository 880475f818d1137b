#include "app/qt_main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <optional>

#include "app/batch_buttons.h"
#include "app/form_run_host.h"
#include "app/link_map_button.h"
#include "app/main_window_names.h"
#include "app/main_window_rules.h"
#include "app/main_window_settings.h"
#include "app/main_window_table.h"
#include "app/qt_main_window_layout.h"
#include "app/qt_run_report.h"
#include "app/settings_report.h"
#include "app/window_geometry.h"
#include "engine/run_driver.h"
#include "files/run_services.h"
#include "form/qt_form.h"
#include "form/qt_text_dialog.h"
#include "platform/charset.h"
#include "platform/settings_location.h"
#include "settings/window_place.h"
#include "tools/anchor_composer_window.h"
#include "tools/keyword_combiner_window.h"
#include "tools/keyword_merger_window.h"
#include "tools/random_text_window.h"
#include "tools/sequence_text_window.h"

namespace lct {

using namespace main_window;

namespace {

// Connects a click of the button or box `name` of `window` to `handler`.
template <typename Handler>
void onClicked(MainWindow& window, std::string_view name, Handler handler) {
    QObject::connect(window.form().widgetAs<QAbstractButton>(name), &QAbstractButton::clicked,
                     &window, handler);
}

// Links react when the mouse button goes down. What they open runs once the
// press has been handled, so that a modal dialog does not start inside it.
template <typename Handler>
void onPressed(MainWindow& window, std::string_view name, Handler handler) {
    QObject::connect(window.form().widgetAs<QAbstractButton>(name), &QAbstractButton::pressed,
                     &window, [&window, handler] { QTimer::singleShot(0, &window, handler); });
}

// A file-dialog filter in the window's form "name|patterns|name|patterns" (patterns joined by ";")
// as a Qt file dialog filter.
QString qtFilter(std::string_view gbkFilter) {
    const QStringList parts = toQString(gbkFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace

class MainWindow::Host final : public FormRunHost {
  public:
    explicit Host(MainWindow& window)
        : FormRunHost(window.form(), window.stopFlag_), window_(window) {}

    // A run stopped by the window's close ends without a word.
    void tell(std::string_view text) override {
        if (!window_.closing_) FormRunHost::tell(text);
    }
    bool ask(std::string_view question) override {
        if (window_.closing_) return false;
        // The closing question of a batch comes after the list of what failed.
        window_.showProblems();
        return FormRunHost::ask(question);
    }
    // A handler may clear the flag after the close began (after its dialog).
    bool stopRequested() override { return FormRunHost::stopRequested() || window_.closing_; }

  private:
    MainWindow& window_;
};

class MainWindow::FileDialogs final : public BatchDialogs {
  public:
    FileDialogs(QWidget& owner, Form& form) : owner_(owner), form_(form) {}

    std::vector<std::string> chooseFiles(std::string_view title, std::string_view filter,
                                         std::string_view initialFolder) override {
        const QStringList chosen = QFileDialog::getOpenFileNames(
            &owner_, toQString(title), fromUtf8(initialFolder), qtFilter(filter));
        std::vector<std::string> paths;
        for (const QString& path : chosen)
            paths.push_back(path.toStdString());
        return paths;
    }
    std::string chooseFolder(std::string_view title, std::string_view initialFolder) override {
        return QFileDialog::getExistingDirectory(&owner_, toQString(title), fromUtf8(initialFolder))
            .toStdString();
    }
    bool enterText(std::string_view prompt, std::string_view title, std::string& text) override {
        TextDialogRequest request;
        request.text = text;
        request.promptGiven = true;
        request.prompt = prompt;
        request.title = title;
        request.owner = &form_;
        request.inputForm = true;
        return showTextDialog(request, &text);
    }

  private:
    QWidget& owner_;
    Form& form_;  // the window the input box is modal to
};

MainWindow::MainWindow(std::string settingsPath, std::unique_ptr<BatchDialogs> dialogs)
    : form_(std::make_unique<QtForm>(*this, mainWindowTable())),
      host_(std::make_unique<Host>(*this)),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<FileDialogs>(*this, *form_)) {
    closeRetry_.setSingleShot(true);
    closeRetry_.setInterval(10);
    connect(&closeRetry_, &QTimer::timeout, this, [this] { close(); });

    if (settingsPath.empty()) {
        settingsPath = defaultSettingsPath(std::string(kProgramName) + ".ini");
        makeSettingsFolder(settingsPath);
    }
    // A copy that finds the settings held by another says so in its title.
    setWindowTitle(fromUtf8(mainWindowTitle(store_.open(settingsPath))));
    layOutMainWindow(*form_, *this);
    placeOnScreen();
    connectSignals();
    // The keyword list is the drop area: dropped text replaces its content.
    QWidget* viewport = form_->widgetAs<QPlainTextEdit>(kKeywordList)->viewport();
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(this);
    form_->widget(kBatchFolder)->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

namespace {

WindowRect rectOf(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

QRect qRectOf(const WindowRect& r) {
    return {r.x, r.y, r.width, r.height};
}

// The settings section of the main window's place on the screen.
std::string placeSection() {
    return utf8ToGbk("主界面窗口");
}

}  // namespace

namespace {

// What an X11 window manager usually puts around a window (a title bar, thin
// borders), until the real frame is known; other platforms tell it at once
// or draw none.
FrameMargins frameGuess() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) return {6, 32, 6, 6};
    return {};
}
// How far a second copy of the program opens from where the first one is.
constexpr int kSecondCopyOffset = 40;

}  // namespace

void MainWindow::placeOnScreen() {
    std::optional<WindowRect> stored;
    const std::optional<WindowPlace> place = loadWindowPlace(store_, placeSection());
    if (place) stored = place->rect;
    const WindowRect available = rectOf(screen()->availableGeometry());
    // A copy that finds the settings held opens beside the first copy's window.
    const int offset = store_.holdsFile() ? 0 : kSecondCopyOffset;
    const FrameMargins guess = frameGuess();
    const WindowRect client =
        openingRect(stored, kPreferredWidth, kPreferredHeight, available, guess, offset);
    setGeometry(qRectOf(client));
    intendedCorner_ = QPoint(client.x - guess.left, client.y - guess.top);
    frameOffset_ = QPoint(guess.left, guess.top);
    // Maximized once its normal place is settled (placeFrame), so that the
    // frame it has there is known for the place stored at the end.
    maximizeWhenPlaced_ = place && place->maximized;
}

void MainWindow::placeFrame() {
    // A window manager gives the frame some time after the window shows.
    if (!frameKnown() && ++frameChecks_ < 40) {
        QTimer::singleShot(50, this, [this] { placeFrame(); });
        return;
    }
    // The frame goes where it was meant to be, then inside the screen.
    if (frameKnown() && !isMaximized() && !isFullScreen()) move(intendedCorner_);
    keepFrameOnScreen();
    if (maximizeWhenPlaced_) setWindowState(windowState() | Qt::WindowMaximized);
}

bool MainWindow::frameKnown() const {
    return frameGeometry() != geometry();
}

void MainWindow::keepFrameOnScreen() {
    if (isMaximized() || isFullScreen()) return;
    const QRect frame = frameGeometry();
    if (frameKnown()) frameOffset_ = geometry().topLeft() - frame.topLeft();
    const WindowRect fitted = fitInside(rectOf(frame), rectOf(screen()->availableGeometry()));
    if (fitted == rectOf(frame)) return;
    const QSize border = frame.size() - size();
    move(fitted.x, fitted.y);
    resize(fitted.width - border.width(), fitted.height - border.height());
}

void MainWindow::connectSignals() {
    connectRunButtons();
    connectClipboardButtons();
    connectOptionRules();
    connectLinks();
}

void MainWindow::connectRunButtons() {
    onClicked(*this, kPreviewButton, [this] {
        runFromWindow([this](RunServices& services) {
            onPreviewClicked(*form_, *host_, services, stopFlag_, run_);
        });
    });
    onClicked(*this, kBatchFiles, [this] {
        runFromWindow([this](RunServices& services) {
            BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_, run_};
            onBatchFilesClicked(context);
        });
    });
    onClicked(*this, kBatchFolder, [this] { runBatchFolder(false); });
    onClicked(*this, kLinkMapButton, [this] {
        runFromWindow([this](RunServices& services) {
            BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_, run_};
            onLinkMapClicked(context);
        });
    });
}

void MainWindow::connectClipboardButtons() {
    // A box that is not shown (the keyword list under the shuffle panel) is
    // never replaced.
    auto paste = [this](std::string_view target) {
        return [this, target] {
            if (Control* box = form_->find(target); box->visible())
                box->setText(form_->clipboardText());
        };
    };
    auto copy = [this](std::string_view source) {
        return [this, source] { form_->setClipboardText(textOf(*form_, source)); };
    };
    onClicked(*this, kPasteKeywords, paste(kKeywordList));
    onClicked(*this, kPasteTemplates, paste(kTemplates));
    onClicked(*this, kPastePreviewTitle, paste(kPreviewTitle));
    onClicked(*this, kPastePreviewContent, paste(kPreviewContent));
    onClicked(*this, kCopyResultTitle, copy(kResultTitle));
    onClicked(*this, kCopyResultContent, copy(kResultContent));
}

void MainWindow::connectOptionRules() {
    onClicked(*this, kInsertRadio, [this] { selectModeRadio(*form_, kInsertRadio); });
    onClicked(*this, kReplaceRadio, [this] { selectModeRadio(*form_, kReplaceRadio); });
    for (std::string_view name : {kInsertTitle, kInsertContent, kCountRange})
        onClicked(*this, name, [this] { applyInsertOptionsRule(*form_); });
    for (std::string_view name : {kTitleType, kContentType}) {
        connect(form_->widgetAs<QComboBox>(name), &QComboBox::activated, this,
                [this] { applyInsertOptionsRule(*form_); });
    }
    for (std::string_view name : {kShuffleTitle, kShuffleContent, kSentenceIntoTitle,
                                  kTitleIntoContent, kReplaceTitle, kReplaceContent})
        onClicked(*this, name, [this] { applyShufflePanelRule(*form_); });
    // The preview's marks tell what the last preview did: a change of what it
    // ran on makes them outdated.
    const auto outdated = [this] { clearPreviewMarks(*form_); };
    for (std::string_view name : {kKeywordList, kPreviewContent}) {
        connect(form_->widgetAs<QPlainTextEdit>(name), &QPlainTextEdit::textChanged, this,
                outdated);
    }
    for (std::string_view name : {kTemplates, kPreviewTitle})
        connect(form_->widgetAs<QLineEdit>(name), &QLineEdit::textChanged, this, outdated);
}

void MainWindow::connectLinks() {
    onPressed(*this, kShufflePanelLink, [this] { toggleShufflePanel(*form_); });
    onPressed(*this, kSaveSettingsLink, [this] {
        handle([this] {
            const SaveOutcome outcome = saveSettings();
            if (closing_) return;
            form_->messageBox(saveReport(outcome), utf8ToGbk(kProgramName), MessageButtons::Ok,
                              outcome.ok() ? MessageIcon::Information : MessageIcon::Warning);
        });
    });
    onPressed(*this, kRandomTextLink, [this] {
        openTool(randomText_, [this] { return new RandomTextWindow(store_, this); });
    });
    onPressed(*this, kSequenceTextLink, [this] {
        openTool(sequenceText_, [this] { return new SequenceTextWindow(store_, this); });
    });
    onPressed(*this, kKeywordCombinerLink, [this] {
        openTool(combiner_, [this] { return new KeywordCombinerWindow(store_, this); });
    });
    onPressed(*this, kKeywordMergerLink, [this] {
        openTool(merger_, [this] { return new KeywordMergerWindow(store_, this); });
    });
    onPressed(*this, kAnchorComposerLink,
              [this] { openTool(anchors_, [this] { return new AnchorComposerWindow(this); }); });
    onPressed(*this, kHelpLink, [this] {
        TextDialogRequest request;
        request.text = helpText();
        request.title = utf8ToGbk("疑点说明");
        request.owner = form_.get();
        showTextInformation(request);
    });
}

void MainWindow::runFromWindow(const std::function<void(RunServices&)>& run) {
    handle([&] {
        FileRunServices services;
        run(services);
        showProblems();
    });
}

void MainWindow::runBatchFolder(bool rightRelease) {
    runFromWindow([this, rightRelease](RunServices& services) {
        BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_, run_};
        onBatchFolderClicked(context, rightRelease);
    });
}

void MainWindow::handle(const std::function<void()>& handler) {
    if (closing_) return;
    ++onStack_;
    handler();
    --onStack_;
}

void MainWindow::openTool(ToolSlot& tool, const std::function<ToolWindow*()>& make) {
    if (tool.opening || closing_) return;
    if (tool.window) {
        tool.window->raise();
        tool.window->activateWindow();
        return;
    }
    tool.opening = true;
    ToolWindow* window = nullptr;
    handle([&] { window = make(); });
    tool.opening = false;
    if (!window) return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    tool.window = window;
    // A close that began meanwhile closes this window with the others.
    if (closing_) return;
    const WindowRect centred =
        centredOver(window->width(), window->height(), rectOf(frameGeometry()),
                    rectOf(screen()->availableGeometry()));
    window->setGeometry(qRectOf(centred));
    window->show();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (activated_) return;
    activated_ = true;
    QTimer::singleShot(0, this, [this] { placeFrame(); });
    loadMainWindowSettings(store_, *form_);
    applyInsertOptionsRule(*form_);
    applyShufflePanelRule(*form_);
    loadedState_ = settingsState(*form_);
}

void MainWindow::stopEverything() {
    stopFlag_ = true;
    for (ToolSlot* tool : tools_) {
        if (tool->window) tool->window->stopForClosing();
    }
}

bool MainWindow::busy() const {
    if (onStack_ > 0) return true;
    for (const ToolSlot* tool : tools_) {
        if (tool->window && tool->window->running()) return true;
    }
    return false;
}

bool MainWindow::mayCloseUnsaved() {
    if (closing_ || store_.holdsFile() || settingsState(*form_) == loadedState_) return true;
    return form_->messageBox(
               utf8ToGbk("另一个青禾·澜词通占用着配置文件，本窗口的修改不会保存。仍要关闭吗？"),
               utf8ToGbk(kProgramName), MessageButtons::YesNo,
               MessageIcon::Warning) == MessageAnswer::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A copy that cannot save asks before its changes are lost.
    if (!mayCloseUnsaved()) {
        event->ignore();
        return;
    }
    closing_ = true;
    // Again on every try: a tool window may have opened since the last one.
    stopEverything();
    auto later = [&] {
        event->ignore();
        closeRetry_.start();
    };
    // A run below this handler still needs the windows and the settings.
    if (busy()) return later();
    // What could not be saved is told once more before the window goes; a
    // copy that does not hold the settings knows it from its title.
    const SaveOutcome outcome = saveSettings();
    if (outcome.held && !outcome.ok())
        form_->messageBox(saveReport(outcome), utf8ToGbk(kProgramName), MessageButtons::Ok,
                          MessageIcon::Warning);
    for (ToolSlot* tool : tools_) {
        if (tool->window && !tool->window->close()) return later();
    }
    store_.close();
    event->accept();
    // Other top-level windows (a dialog left open) must not keep the program
    // alive.
    QCoreApplication::quit();
}

SaveOutcome MainWindow::saveSettings() {
    store_.beginSave();
    // An inner save: the outer one's outcome, below, holds its failures too.
    static_cast<void>(saveMainWindowSettings(store_, *form_));
    // The stored corner is the frame's: a maximized window's normal place is
    // its client area's, so the frame's offset around it comes off.
    const bool full = isMaximized() || isFullScreen();
    const QRect normal = full ? normalGeometry() : geometry();
    const QPoint corner = full ? normal.topLeft() - frameOffset_ : pos();
    saveWindowPlace(store_, placeSection(),
                    {{corner.x(), corner.y(), normal.width(), normal.height()}, isMaximized()});
    return store_.finishSave();
}

void MainWindow::showProblems() {
    const RunReport report = makeRunReport(host_->takeFailures(), host_->takeProblems());
    if (report.prompt.empty() || closing_) return;
    std::unique_ptr<QDialog> dialog(makeRunReportDialog(report, this));
    dialog->exec();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* keywords = form_->widgetAs<QPlainTextEdit>(kKeywordList);
    if (keywords && watched == keywords->viewport()) {
        // Dropped text replaces the keyword list. It is a copy: the box it
        // was dragged from keeps it.
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            const bool text = drag->mimeData()->hasText();
            if (text) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            }
            return text;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasText()) return false;
            keywords->setPlainText(drop->mimeData()->text());
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            return true;
        }
    }
    if (watched == form_->widget(kBatchFolder) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        runBatchFolder(true);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lct
