// One article through each of the three pipelines with the main window's
// default options, on 1 MB and 4 MB articles: the 4 MB article must stay
// within 5 times the 1 MB one in every mode.
//
// Insert mode with 编辑框次数1/2 at 2,147,483,647: the set stops at a million
// items or 64 MiB, and what insertion adds stays within 64 MiB plus 16 times
// the article, so each content type ends, its result bounded (result_MB).
#include <benchmark/benchmark.h>

#include <string>

#include "app/form_options.h"
#include "app/main_window_names.h"
#include "app/main_window_table.h"
#include "article.h"
#include "engine/article_run.h"
#include "form/headless_form.h"
#include "platform/memory.h"

namespace lct {
namespace {

// The programs have big buffers mapped on their own (see cli/main.cpp): a big
// article's pages then go back as they are read, and come again as faults.
// The benchmark allocates as they do, so that it times what they do.
[[maybe_unused]] const bool kAllocatesAsThePrograms = (returnBigBuffersWhenFreed(), true);

ArticleOptions optionsFor(PipelineMode mode) {
    HeadlessForm form(mainWindowTable());
    form.find(main_window::kInsertRadio)->setTicked(mode == PipelineMode::Insert);
    form.find(main_window::kReplaceRadio)->setTicked(mode == PipelineMode::ReplaceExisting);
    form.find(main_window::kShufflePanel)->setVisible(mode == PipelineMode::ShuffleReplace);
    std::string keywords;
    for (int i = 0; i < 100; ++i)
        keywords += utf8ToGbk("关键词") + std::to_string(i) + "\r\n";
    keywords += utf8ToGbk("天气\r\n公园\r\nfox\r\n");
    form.find(main_window::kKeywordList)->setText(keywords);
    form.find(main_window::kReplaceContent)->setTicked(true);
    form.find(main_window::kContentMatches)->setText(utf8ToGbk("天气|公园|fox"));
    form.find(main_window::kContentReplacements)->setText(utf8ToGbk("气候|花园|cat"));
    return readArticleOptions(form);
}

void BM_Pipeline(benchmark::State& state) {
    const auto mode = static_cast<PipelineMode>(state.range(0));
    const std::string page = bench::article(static_cast<std::size_t>(state.range(1)));
    const ArticleOptions options = optionsFor(mode);
    ArticleRun run(1);
    run.prepare(options, loadKeywords(options.keywordList));
    for (auto _ : state) {
        std::string title = utf8ToGbk("标题");
        std::string content = page;
        processArticle(options, run, title, content);
        benchmark::DoNotOptimize(content);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

void modes(benchmark::internal::Benchmark* b) {
    for (int mode = 0; mode <= 2; ++mode) {
        b->Args({mode, 1 << 20});
        b->Args({mode, 4 << 20});
    }
}
// Mode 0 insert, 1 replace-existing, 2 shuffle-replace.
BENCHMARK(BM_Pipeline)->Apply(modes)->Unit(benchmark::kMillisecond);

// Arguments: content type, bytes of article.
void BM_HugeItemCount(benchmark::State& state) {
    HeadlessForm form(mainWindowTable());
    form.find(main_window::kKeywordList)->setText(utf8ToGbk("关键词一\r\n关键词二\r\nkeyword"));
    form.find(main_window::kTemplates)->setText("<b>*</b>");
    form.find(main_window::kCountFrom)->setText("2147483647");
    form.find(main_window::kCountTo)->setText("2147483647");
    form.find(main_window::kContentType)->setSelectedIndex(static_cast<int>(state.range(0)));
    const ArticleOptions options = readArticleOptions(form);
    const std::string page = bench::article(static_cast<std::size_t>(state.range(1)));
    ArticleRun run(1);
    run.prepare(options, loadKeywords(options.keywordList));
    std::size_t size = 0;
    for (auto _ : state) {
        std::string title = utf8ToGbk("标题");
        std::string content = page;
        ArticleReport report;
        processArticle(options, run, title, content, &report);
        size = content.size();
        benchmark::DoNotOptimize(content);
    }
    state.counters["result_MB"] = static_cast<double>(size) / (1 << 20);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_HugeItemCount)
    ->ArgsProduct({{0, 1, 2, 3, 6, 7, 11}, {256 << 10, 1 << 20}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lct
