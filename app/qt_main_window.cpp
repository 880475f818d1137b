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
    QWidget* viewport = form_->widgetAs<QPlainTextEdit>("编辑框关键词列表")->viewport();
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(this);
    form_->widget("按钮批量处理文件夹")->installEventFilter(this);
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
    keywords->addWidget(f.widget("标签1"));
    keywords->addWidget(f.widget("编辑框关键词列表"), 1);
    auto* callRow = new QHBoxLayout;
    for (std::string_view name : {"按钮粘贴", "标签2", "组合框调用方式"})
        callRow->addWidget(f.widget(name));
    callRow->addStretch();
    keywords->addLayout(callRow);
    keywords->addWidget(f.widget("标签12"));
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(f.widget("编辑框再组合关键词"), 1);
    templateRow->addWidget(f.widget("按钮粘贴1"));
    keywords->addLayout(templateRow);

    // Insert panel.
    QGridLayout* insert = panelGrid("分组框1");
    row(insert, 0, {"单选框插入"});
    row(insert, 1,
        {"选择框插入标题", "组合框标题插入类型", "选择框标题插一次", "标签7", "编辑框标题间隔符"});
    row(insert, 2,
        {"选择框插入内容", "组合框内容插入类型", "标签18", "编辑框每隔最少", "标签19",
         "编辑框每隔最多"});
    row(insert, 3, {"标签15", "编辑框句子结尾符", "组合框符号插入模式"});
    row(insert, 4, {"选择框插入次数", "编辑框次数1", "标签11", "编辑框次数2", "选择框每次不同"});
    row(insert, 5, {"选择框更新关键词", "选择框避免标签", "选择框避免单词", "选择框标题插入首行"});
    auto* replace = panelGrid("分组框2");
    row(replace, 0, {"单选框替换"});
    f.widget("分组框2")->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // Shuffle panel: over the keyword list and the two panels when shown.
    QGridLayout* shuffle = panelGrid("分组框文章打乱替换器");
    row(shuffle, 0, {"选择框打乱标题", "标签22", "编辑框标题打乱符号"});
    row(shuffle, 1, {"选择框打乱内容", "标签23", "编辑框内容打乱符号"});
    row(shuffle, 2,
        {"选择框文章一句", "组合框插入类型", "标签24", "编辑框最少字数", "标签25",
         "编辑框包含的词"});
    row(shuffle, 3,
        {"选择框标题插入", "编辑框插入最少", "标签26", "编辑框插入最多", "标签27", "选择框原标题"});
    row(shuffle, 4,
        {"选择框替换标题", "编辑框标题匹配式", "编辑框标题替换式", "选择框标题启用正则",
         "选择框标题忽视大小写", "标签28", "编辑框标题替换次数"});
    row(shuffle, 5,
        {"选择框替换内容", "编辑框内容匹配式", "编辑框内容替换式", "选择框内容启用正则",
         "选择框内容忽视大小写", "标签29", "编辑框内容替换次数"});

    auto* top = new QGridLayout;
    top->addLayout(keywords, 0, 0);
    auto* panels = new QVBoxLayout;
    panels->addWidget(f.widget("分组框1"));
    panels->addWidget(f.widget("分组框2"));
    top->addLayout(panels, 0, 1);
    top->addWidget(f.widget("分组框文章打乱替换器"), 1, 0, 1, 2);
    top->setColumnStretch(0, 1);

    // Preview area.
    QGridLayout* preview = panelGrid("分组框3");
    row(preview, 0, {"编辑框预览标题", "按钮1"});
    row(preview, 1, {"编辑框预览内容", "按钮2"});
    row(preview, 2, {"编辑框结果标题", "按钮4"});
    row(preview, 3, {"编辑框结果内容", "按钮3"});

    auto* progress = new QHBoxLayout;
    progress->addWidget(f.widget("进度条"), 1);
    progress->addWidget(f.widget("透明标签"), 2);

    auto* bottom = new QHBoxLayout;
    for (std::string_view name :
         {"标签17", "组合框转换繁简体", "标签20", "组合框输入编码", "标签21", "组合框输出编码",
          "标签4", "编辑框新文件扩展名", "编辑框过滤"})
        bottom->addWidget(f.widget(name));
    bottom->addStretch();
    for (std::string_view name :
         {"按钮批量处理", "按钮批量处理文件夹", "按钮批量处理路径列表", "按钮预览"})
        bottom->addWidget(f.widget(name));

    auto* links = new QHBoxLayout;
    for (std::string_view name :
         {"链接保存配置", "链接疑点说明", "链接文章打乱替换器", "链接随机文本生成器",
          "链序列文本生成器", "链接关键词遍历组合", "链接关键词合并", "链接锚文本合成器"})
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
    page->addWidget(f.widget("分组框3"), 4);
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

    clicked("按钮预览", [this] {
        handle([this] {
            FileRunServices services;
            onPreviewClicked(*form_, *host_, services, stopFlag_);
            showProblems();
        });
    });
    clicked("按钮批量处理", [this] {
        handle([this] {
            FileRunServices services;
            BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_};
            onBatchFilesClicked(context);
            showProblems();
        });
    });
    clicked("按钮批量处理文件夹", [this] {
        handle([this] {
            FileRunServices services;
            BatchContext context{*form_, *host_, services, *dialogs_, stopFlag_};
            onBatchFolderClicked(context, false);
            showProblems();
        });
    });
    clicked("按钮粘贴", paste("编辑框关键词列表"));
    clicked("按钮粘贴1", paste("编辑框再组合关键词"));
    clicked("按钮1", paste("编辑框预览标题"));
    clicked("按钮2", paste("编辑框预览内容"));
    clicked("按钮4", copy("编辑框结果标题"));
    clicked("按钮3", copy("编辑框结果内容"));

    clicked("单选框插入", [this] { selectModeRadio(*form_, "单选框插入"); });
    clicked("单选框替换", [this] { selectModeRadio(*form_, "单选框替换"); });
    for (std::string_view name : {"选择框插入标题", "选择框插入内容", "选择框插入次数"})
        clicked(name, [this] { applyInsertOptionsRule(*form_); });
    for (std::string_view name : {"组合框标题插入类型", "组合框内容插入类型"}) {
        connect(f.widgetAs<QComboBox>(name), &QComboBox::activated, this,
                [this] { applyInsertOptionsRule(*form_); });
    }
    for (std::string_view name : {"选择框打乱标题", "选择框打乱内容", "选择框文章一句",
                                  "选择框标题插入", "选择框替换标题", "选择框替换内容"})
        clicked(name, [this] { applyShufflePanelRule(*form_); });

    pressed("链接文章打乱替换器", [this] { toggleShufflePanel(*form_); });
    pressed("链接保存配置", [this] {
        handle([this] {
            const SaveOutcome outcome = saveSettings();
            if (closing_) return;
            form_->messageBox(saveReport(outcome), utf8ToGbk(kProgramName), MessageButtons::Ok,
                              outcome.ok() ? MessageIcon::Information : MessageIcon::Warning);
        });
    });
    pressed("链接随机文本生成器", [this] {
        openTool(randomText_, [this] { return new RandomTextWindow(store_, this); });
    });
    pressed("链序列文本生成器", [this] {
        openTool(sequenceText_, [this] { return new SequenceTextWindow(store_, this); });
    });
    pressed("链接关键词遍历组合", [this] {
        openTool(combiner_, [this] { return new KeywordCombinerWindow(store_, this); });
    });
    pressed("链接关键词合并", [this] {
        openTool(merger_, [this] { return new KeywordMergerWindow(store_, this); });
    });
    pressed("链接锚文本合成器",
            [this] { openTool(anchors_, [this] { return new AnchorComposerWindow(this); }); });
    pressed("链接疑点说明", [this] {
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
    auto* keywords = form_->widgetAs<QPlainTextEdit>("编辑框关键词列表");
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
    if (watched == form_->widget("按钮批量处理文件夹") &&
        event->type() == QEvent::MouseButtonRelease &&
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
