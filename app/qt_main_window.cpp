#include "app/qt_main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <initializer_list>

#include "app/batch_buttons.h"
#include "app/form_run_host.h"
#include "app/main_window_names.h"
#include "app/main_window_rules.h"
#include "app/main_window_table.h"
#include "app/qt_run_report.h"
#include "app/settings_report.h"
#include "engine/run_driver.h"
#include "files/run_services.h"
#include "form/qt_form.h"
#include "form/qt_text_dialog.h"
#include "platform/charset.h"
#include "platform/program_folder.h"
#include "settings/main_window_settings.h"
#include "tools/anchor_composer_window.h"
#include "tools/keyword_combiner_window.h"
#include "tools/keyword_merger_window.h"
#include "tools/random_text_window.h"
#include "tools/sequence_text_window.h"

namespace lct {

using namespace main_window;

namespace {

using Names = std::initializer_list<std::string_view>;

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
    explicit FileDialogs(QWidget& owner) : owner_(owner) {}

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

  private:
    QWidget& owner_;
};

MainWindow::MainWindow(std::string settingsPath, std::unique_ptr<BatchDialogs> dialogs)
    : form_(std::make_unique<QtForm>(*this, mainWindowTable())),
      host_(std::make_unique<Host>(*this)),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<FileDialogs>(*this)) {
    closeRetry_.setSingleShot(true);
    closeRetry_.setInterval(10);
    connect(&closeRetry_, &QTimer::timeout, this, [this] { close(); });
    if (settingsPath.empty())
        settingsPath = programFolder() + "/" + std::string(kProgramName) + ".ini";
    // A copy that finds the settings held by another says so in its title.
    setWindowTitle(fromUtf8(mainWindowTitle(store_.open(settingsPath))));
    store_.setMessageOwner(form_.get());
    layOut();
    connectSignals();
    // The keyword list is the drop area: dropped text replaces its content.
    QWidget* viewport = form_->widgetAs<QPlainTextEdit>(kKeywordList)->viewport();
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(this);
    form_->widget(kBatchFolder)->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::layOut() {
    QtForm& f = *form_;
    auto row = [&](QGridLayout* grid, int r, Names names) {
        int column = 0;
        for (std::string_view name : names)
            grid->addWidget(f.widget(name), r, column++);
    };
    auto panelGrid = [&](std::string_view panel) {
        auto* grid = new QGridLayout(f.widget(panel));
        grid->setHorizontalSpacing(6);
        return grid;
    };

    // Keyword source.
    auto* keywords = new QVBoxLayout;
    keywords->addWidget(f.widget(kKeywordListLabel));
    keywords->addWidget(f.widget(kKeywordList), 1);
    auto* callRow = new QHBoxLayout;
    for (std::string_view name : {kPasteKeywords, kCallModeLabel, kCallMode})
        callRow->addWidget(f.widget(name));
    callRow->addStretch();
    keywords->addLayout(callRow);
    keywords->addWidget(f.widget(kTemplatesLabel));
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(f.widget(kTemplates), 1);
    templateRow->addWidget(f.widget(kPasteTemplates));
    keywords->addLayout(templateRow);

    // Insert panel.
    QGridLayout* insert = panelGrid(kInsertPanel);
    row(insert, 0, {kInsertRadio});
    row(insert, 1, {kInsertTitle, kTitleType, kTitleOnce, kTitleSeparatorsLabel, kTitleSeparators});
    row(insert, 2,
        {kInsertContent, kContentType, kEveryLabel, kEveryMin, kEveryToLabel, kEveryMax});
    row(insert, 3, {kSymbolGroupsLabel, kSymbolGroups, kSymbolMode});
    row(insert, 4, {kCountRange, kCountFrom, kCountToLabel, kCountTo, kDifferentEachTime});
    row(insert, 5, {kNewSet, kAvoidTags, kAvoidWords, kTitleFirstLine});
    auto* replace = panelGrid(kReplacePanel);
    row(replace, 0, {kReplaceRadio});
    f.widget(kReplacePanel)->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // Shuffle panel: over the keyword list and the two panels when shown.
    QGridLayout* shuffle = panelGrid(kShufflePanel);
    row(shuffle, 0, {kShuffleTitle, kTitleShuffleSymbolsLabel, kTitleShuffleSymbols});
    row(shuffle, 1, {kShuffleContent, kContentShuffleSymbolsLabel, kContentShuffleSymbols});
    row(shuffle, 2,
        {kSentenceIntoTitle, kSentencePlacement, kSentenceMinimumLabel, kSentenceMinimum,
         kSentenceMustContainLabel, kSentenceMustContain});
    row(shuffle, 3,
        {kTitleIntoContent, kTitleInsertMin, kTitleInsertToLabel, kTitleInsertMax,
         kTitleInsertTimesLabel, kUseSourceTitle});
    row(shuffle, 4,
        {kReplaceTitle, kTitleMatches, kTitleReplacements, kTitleRegex, kTitleIgnoreCase,
         kTitleReplaceCountLabel, kTitleReplaceCount});
    row(shuffle, 5,
        {kReplaceContent, kContentMatches, kContentReplacements, kContentRegex, kContentIgnoreCase,
         kContentReplaceCountLabel, kContentReplaceCount});

    auto* top = new QGridLayout;
    top->addLayout(keywords, 0, 0);
    auto* panels = new QVBoxLayout;
    panels->addWidget(f.widget(kInsertPanel));
    panels->addWidget(f.widget(kReplacePanel));
    top->addLayout(panels, 0, 1);
    top->addWidget(f.widget(kShufflePanel), 1, 0, 1, 2);
    top->setColumnStretch(0, 1);

    // Preview area.
    QGridLayout* preview = panelGrid(kPreviewPanel);
    row(preview, 0, {kPreviewTitle, kPastePreviewTitle});
    row(preview, 1, {kPreviewContent, kPastePreviewContent});
    row(preview, 2, {kResultTitle, kCopyResultTitle});
    row(preview, 3, {kResultContent, kCopyResultContent});

    auto* progress = new QHBoxLayout;
    progress->addWidget(f.widget(kProgressBar), 1);
    progress->addWidget(f.widget(kStatusLabel), 2);

    auto* bottom = new QHBoxLayout;
    for (std::string_view name :
         {kScriptConversionLabel, kScriptConversion, kInputEncodingLabel, kInputEncoding,
          kOutputEncodingLabel, kOutputEncoding, kNewExtensionLabel, kNewExtension, kFileFilter})
        bottom->addWidget(f.widget(name));
    bottom->addStretch();
    for (std::string_view name : {kBatchFiles, kBatchFolder, kBatchPathList, kPreviewButton})
        bottom->addWidget(f.widget(name));

    auto* links = new QHBoxLayout;
    for (std::string_view name :
         {kSaveSettingsLink, kHelpLink, kShufflePanelLink, kRandomTextLink, kSequenceTextLink,
          kKeywordCombinerLink, kKeywordMergerLink, kAnchorComposerLink})
        links->addWidget(f.widget(name));
    links->addStretch();
    // The pictures beside the links open the same windows; the links carry them.
    for (Control* c : f.controls()) {
        if (c->kind() == ControlKind::Picture || c->kind() == ControlKind::DropTarget)
            f.widget(c->name())->hide();
    }

    auto* page = new QVBoxLayout(this);
    page->addLayout(top, 3);
    page->addLayout(progress);
    page->addWidget(f.widget(kPreviewPanel), 4);
    page->addLayout(bottom);
    page->addLayout(links);
    resize(1100, 860);
}

void MainWindow::connectSignals() {
    QtForm& f = *form_;
    auto clicked = [&](std::string_view name, auto handler) {
        connect(f.widgetAs<QAbstractButton>(name), &QAbstractButton::clicked, this, handler);
    };
    // Links react when the mouse button goes down. What they open runs once the
    // press has been handled, so that a modal dialog does not start inside it.
    auto pressed = [&](std::string_view name, auto handler) {
        connect(f.widgetAs<QAbstractButton>(name), &QAbstractButton::pressed, this,
                [this, handler] { QTimer::singleShot(0, this, handler); });
    };
    auto paste = [this](std::string_view target) {
        return [this, target] { form_->find(target)->setText(form_->clipboardText()); };
    };
    auto copy = [this](std::string_view source) {
        return [this, source] { form_->setClipboardText(textOf(*form_, source)); };
    };

    clicked(kPreviewButton, [this] {
        handle([this] {
            FileRunServices services;
            onPreviewClicked(*form_, *host_, services, stopFlag_);
            showProblems();
        });
    });
    clicked(kBatchFiles, [this] {
        handle([this] {
            FileRunServices services;
            BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_};
            onBatchFilesClicked(context);
            showProblems();
        });
    });
    clicked(kBatchFolder, [this] {
        handle([this] {
            FileRunServices services;
            BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_};
            onBatchFolderClicked(context, false);
            showProblems();
        });
    });
    clicked(kPasteKeywords, paste(kKeywordList));
    clicked(kPasteTemplates, paste(kTemplates));
    clicked(kPastePreviewTitle, paste(kPreviewTitle));
    clicked(kPastePreviewContent, paste(kPreviewContent));
    clicked(kCopyResultTitle, copy(kResultTitle));
    clicked(kCopyResultContent, copy(kResultContent));

    clicked(kInsertRadio, [this] { selectModeRadio(*form_, kInsertRadio); });
    clicked(kReplaceRadio, [this] { selectModeRadio(*form_, kReplaceRadio); });
    for (std::string_view name : {kInsertTitle, kInsertContent, kCountRange})
        clicked(name, [this] { applyInsertOptionsRule(*form_); });
    for (std::string_view name : {kTitleType, kContentType}) {
        connect(f.widgetAs<QComboBox>(name), &QComboBox::activated, this,
                [this] { applyInsertOptionsRule(*form_); });
    }
    for (std::string_view name : {kShuffleTitle, kShuffleContent, kSentenceIntoTitle,
                                  kTitleIntoContent, kReplaceTitle, kReplaceContent})
        clicked(name, [this] { applyShufflePanelRule(*form_); });

    pressed(kShufflePanelLink, [this] { toggleShufflePanel(*form_); });
    pressed(kSaveSettingsLink, [this] {
        handle([this] {
            const SaveOutcome outcome = saveSettings();
            if (closing_) return;
            form_->messageBox(saveReport(outcome), utf8ToGbk(kProgramName), MessageButtons::Ok,
                              outcome.ok() ? MessageIcon::Information : MessageIcon::Warning);
        });
    });
    pressed(kRandomTextLink, [this] {
        openTool(randomText_, [this] { return new RandomTextWindow(store_, this); });
    });
    pressed(kSequenceTextLink, [this] {
        openTool(sequenceText_, [this] { return new SequenceTextWindow(store_, this); });
    });
    pressed(kKeywordCombinerLink, [this] {
        openTool(combiner_, [this] { return new KeywordCombinerWindow(store_, this); });
    });
    pressed(kKeywordMergerLink, [this] {
        openTool(merger_, [this] { return new KeywordMergerWindow(store_, this); });
    });
    pressed(kAnchorComposerLink,
            [this] { openTool(anchors_, [this] { return new AnchorComposerWindow(this); }); });
    pressed(kHelpLink, [this] {
        TextDialogRequest request;
        request.text = helpText();
        request.title = utf8ToGbk("疑点说明");
        request.owner = form_.get();
        showTextDialog(request, nullptr);
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
    window->show();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (activated_) return;
    activated_ = true;
    loadMainWindowSettings(store_, *form_);
    applyInsertOptionsRule(*form_);
    applyShufflePanelRule(*form_);
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

void MainWindow::closeEvent(QCloseEvent* event) {
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
    return saveMainWindowSettings(store_, *form_);
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
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData()->hasText()) drag->acceptProposedAction();
            return drag->mimeData()->hasText();
        }
        if (event->type() == QEvent::Drop) {
            // Dropped text replaces the keyword list.
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasText()) return false;
            keywords->setPlainText(drop->mimeData()->text());
            drop->acceptProposedAction();
            return true;
        }
    }
    if (watched == form_->widget(kBatchFolder) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        handle([this] {
            FileRunServices services;
            BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_};
            onBatchFolderClicked(context, true);
            showProblems();
        });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lct
