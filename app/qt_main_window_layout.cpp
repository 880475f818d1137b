#include "app/qt_main_window_layout.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "app/main_window_names.h"

namespace lct {

using namespace main_window;

namespace {

using Names = std::initializer_list<std::string_view>;

// Puts the widgets of `names` side by side into row `r` of `grid`.
void addGridRow(QtForm& f, QGridLayout* grid, int r, Names names) {
    int column = 0;
    for (std::string_view name : names)
        grid->addWidget(f.widget(name), r, column++);
}

// The grid that arranges the controls inside `panel`.
QGridLayout* panelGrid(QtForm& f, std::string_view panel) {
    auto* grid = new QGridLayout(f.widget(panel));
    grid->setHorizontalSpacing(6);
    return grid;
}

// The keyword list with its paste button and call mode, then the templates.
QVBoxLayout* keywordSource(QtForm& f) {
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
    // The site's address, which the keyword list's addresses are checked against.
    auto* siteRow = new QHBoxLayout;
    siteRow->addWidget(f.widget(kSiteAddressLabel));
    siteRow->addWidget(f.widget(kSiteAddress), 1);
    keywords->addLayout(siteRow);
    return keywords;
}

// Each row of a panel lays out on its own, left-aligned: controls that show
// and hide with the content type never widen another row's columns.
void addRow(QtForm& f, QGridLayout* grid, int r, Names names) {
    auto* line = new QHBoxLayout;
    for (std::string_view name : names)
        line->addWidget(f.widget(name));
    line->addStretch();
    grid->addLayout(line, r, 0);
}

// Narrow boxes for numbers.
void fitNumberBoxes(QtForm& f, Names names) {
    for (std::string_view name : names)
        f.widget(name)->setMaximumWidth(
            f.widget(name)->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
}

void layOutInsertPanel(QtForm& f) {
    QGridLayout* insert = panelGrid(f, kInsertPanel);
    addRow(f, insert, 0, {kInsertRadio});
    addRow(f, insert, 1,
           {kInsertTitle, kTitleType, kTitleOnce, kTitleSeparatorsLabel, kTitleSeparators});
    addRow(f, insert, 2,
           {kInsertContent, kContentType, kEveryLabel, kEveryMin, kEveryToLabel, kEveryMax,
            kEveryUnitLabel});
    // Beside the symbols, where the panel has room for its longer caption.
    addRow(f, insert, 3, {kSymbolGroupsLabel, kSymbolGroups, kSymbolMode, kAvoidLinks});
    addRow(f, insert, 4, {kCountRange, kCountFrom, kCountToLabel, kCountTo, kDifferentEachTime});
    addRow(f, insert, 5, {kNewSet, kAvoidTags, kAvoidWords, kTitleFirstLine});
    fitNumberBoxes(f, {kEveryMin, kEveryMax, kCountFrom, kCountTo});
}

void layOutReplacePanel(QtForm& f) {
    QGridLayout* replace = panelGrid(f, kReplacePanel);
    addRow(f, replace, 0, {kReplaceRadio, kLinkMapButton});
    addRow(f, replace, 1, {kReplaceAvoidMarkup, kReplaceAvoidHeadings, kReplaceWholeWords});
    addRow(f, replace, 2,
           {kReplacePerKeywordLabel, kReplacePerKeywordLimit, kReplaceTotalLabel,
            kReplaceTotalLimit, kPerAddressLabel, kPerAddressLimit});
    fitNumberBoxes(f, {kReplacePerKeywordLimit, kReplaceTotalLimit, kPerAddressLimit});
    f.widget(kReplacePanel)->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

void layOutShufflePanel(QtForm& f) {
    QGridLayout* shuffle = panelGrid(f, kShufflePanel);
    addGridRow(f, shuffle, 0, {kShuffleTitle, kTitleShuffleSymbolsLabel, kTitleShuffleSymbols});
    addGridRow(f, shuffle, 1,
               {kShuffleContent, kContentShuffleSymbolsLabel, kContentShuffleSymbols});
    addGridRow(f, shuffle, 2,
               {kSentenceIntoTitle, kSentencePlacement, kSentenceMinimumLabel, kSentenceMinimum,
                kSentenceMustContainLabel, kSentenceMustContain});
    addGridRow(f, shuffle, 3,
               {kTitleIntoContent, kTitleInsertMin, kTitleInsertToLabel, kTitleInsertMax,
                kTitleInsertTimesLabel, kUseSourceTitle});
    addGridRow(f, shuffle, 4,
               {kReplaceTitle, kTitleMatches, kTitleReplacements, kTitleRegex, kTitleIgnoreCase,
                kTitleReplaceCountLabel, kTitleReplaceCount});
    addGridRow(f, shuffle, 5,
               {kReplaceContent, kContentMatches, kContentReplacements, kContentRegex,
                kContentIgnoreCase, kContentReplaceCountLabel, kContentReplaceCount});
}

// A scroll area as tall as what it shows, until the window is too low for
// that: then the preview boxes give up height first, and only below a third
// of the screen does the area scroll. Its width never widens the window.
class OptionsArea final : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override { return contentSize(widget()->sizeHint()); }
    QSize minimumSizeHint() const override {
        const QSize content = contentSize(widget()->minimumSizeHint());
        const int third = screen() ? screen()->availableGeometry().height() / 3 : content.height();
        return {horizontalScrollBar()->sizeHint().width() * 3, std::min(content.height(), third)};
    }

  protected:
    // What it shows changed its layout (the shuffle panel shown, fields
    // hidden): the window gives the area its new height.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }

  private:
    QSize contentSize(QSize content) const {
        const int scrollBar = horizontalScrollBar()->sizeHint().height();
        return content + QSize(2 * frameWidth(), 2 * frameWidth() + scrollBar);
    }
};

// The keyword source beside the insert and replace panels, and the shuffle
// panel below them: shown, it takes their place.
QWidget* topArea(QtForm& f) {
    auto* content = new QWidget;
    auto* top = new QGridLayout(content);
    top->setContentsMargins(0, 0, 0, 0);
    top->addLayout(keywordSource(f), 0, 0);
    auto* panels = new QVBoxLayout;
    panels->addWidget(f.widget(kInsertPanel));
    panels->addWidget(f.widget(kReplacePanel));
    top->addLayout(panels, 0, 1);
    top->addWidget(f.widget(kShufflePanel), 1, 0, 1, 2);
    top->setColumnStretch(0, 1);
    auto* area = new OptionsArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    area->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    return area;
}

void layOutPreviewPanel(QtForm& f) {
    QGridLayout* preview = panelGrid(f, kPreviewPanel);
    addGridRow(f, preview, 0, {kPreviewTitle, kPastePreviewTitle});
    addGridRow(f, preview, 1, {kPreviewContent, kPastePreviewContent});
    addGridRow(f, preview, 2, {kResultTitle, kCopyResultTitle});
    preview->addWidget(f.widget(kResultContent), 3, 0);
    // The count of items the preview inserted or replaced, under the copy
    // button, in the same row: the result box keeps the panel's height.
    auto* copyColumn = new QVBoxLayout;
    copyColumn->addStretch();
    copyColumn->addWidget(f.widget(kCopyResultContent));
    copyColumn->addWidget(f.widget(kResultCountLabel));
    copyColumn->addStretch();
    preview->addLayout(copyColumn, 3, 1);
}

QHBoxLayout* progressRow(QtForm& f) {
    auto* progress = new QHBoxLayout;
    progress->addWidget(f.widget(kProgressBar), 1);
    progress->addWidget(f.widget(kStatusLabel), 2);
    return progress;
}

// Wide enough to show `sample` whole.
void fitWidthTo(QtForm& f, std::string_view name, const char* sample) {
    QWidget* box = f.widget(name);
    const int text = box->fontMetrics().horizontalAdvance(QString::fromUtf8(sample));
    box->setMinimumWidth(text + 4 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 12);
}

// Conversion, encodings, extension and filter, then the preview button.
QHBoxLayout* bottomRow(QtForm& f) {
    auto* bottom = new QHBoxLayout;
    for (std::string_view name :
         {kScriptConversionLabel, kScriptConversion, kInputEncodingLabel, kInputEncoding,
          kOutputEncodingLabel, kOutputEncoding, kNewExtensionLabel, kNewExtension,
          kFileFilterLabel, kFileFilter, kIncludeSubfolders})
        bottom->addWidget(f.widget(name));
    fitWidthTo(f, kNewExtension, ".html");
    fitWidthTo(f, kFileFilter, "*.txt|*.htm");
    bottom->addStretch();
    bottom->addWidget(f.widget(kPreviewButton));
    return bottom;
}

// The links, then the batch's two options one above the other (side by side
// they would widen the window past a laptop screen) and the batch buttons.
QHBoxLayout* linkRow(QtForm& f) {
    auto* links = new QHBoxLayout;
    for (std::string_view name :
         {kSaveSettingsLink, kHelpLink, kShufflePanelLink, kRandomTextLink, kSequenceTextLink,
          kKeywordCombinerLink, kKeywordMergerLink, kAnchorComposerLink})
        links->addWidget(f.widget(name));
    links->addStretch();
    auto* options = new QVBoxLayout;
    options->setSpacing(0);
    options->addWidget(f.widget(kIncludeSubfolders));
    options->addWidget(f.widget(kBatchReport));
    links->addLayout(options);
    for (std::string_view name : {kBatchFiles, kBatchFolder, kBatchPathList})
        links->addWidget(f.widget(name));
    // The pictures beside the links open the same windows; the links carry them.
    for (Control* c : f.controls()) {
        if (c->kind() == ControlKind::Picture || c->kind() == ControlKind::DropTarget)
            f.widget(c->name())->hide();
    }
    return links;
}

}  // namespace

void layOutMainWindow(QtForm& f, QWidget& window) {
    layOutInsertPanel(f);
    layOutReplacePanel(f);
    layOutShufflePanel(f);
    layOutPreviewPanel(f);
    QWidget* top = topArea(f);
    QHBoxLayout* progress = progressRow(f);
    QHBoxLayout* bottom = bottomRow(f);
    QHBoxLayout* links = linkRow(f);

    auto* page = new QVBoxLayout(&window);
    page->addWidget(top);
    page->addLayout(progress);
    page->addWidget(f.widget(kPreviewPanel), 1);
    page->addLayout(bottom);
    page->addLayout(links);
}

}  // namespace lct
