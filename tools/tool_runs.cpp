#include "tools/tool_runs.h"

#include <algorithm>

#include "platform/random.h"
#include "tools/anchor_composer.h"
#include "tools/anchor_composer_names.h"
#include "tools/keyword_combiner.h"
#include "tools/keyword_combiner_names.h"
#include "tools/keyword_merger.h"
#include "tools/keyword_merger_names.h"
#include "tools/random_text.h"
#include "tools/random_text_names.h"
#include "tools/sequence_text.h"
#include "tools/sequence_text_names.h"

namespace lct {

namespace {

const std::vector<HeadlessTool>& tools() {
    static const std::vector<HeadlessTool> all = {
        {"random",
         "随机文本生成器",
         randomTextTable,
         restoreRandomTextSettings,
         random_text::kGenerateChinese,
         random_text::kResult,
         {{random_text::kMostCommon, random_text::kCommon, random_text::kSecondary}}},
        {"sequence",
         "序列文本生成器",
         sequenceTextTable,
         restoreSequenceSettings,
         sequence_text::kGenerate,
         sequence_text::kResult,
         {{sequence_text::kNumbers, sequence_text::kLetters}}},
        {"combine",
         kKeywordCombinerTitle,
         keywordCombinerTable,
         restoreKeywordCombiner,
         keyword_combiner::kStart,
         keyword_combiner::kResult,
         {}},
        {"merge",
         kKeywordMergerTitle,
         keywordMergerTable,
         restoreKeywordMerger,
         keyword_merger::kMerge,
         keyword_merger::kResult,
         {{keyword_merger::kTarget1, keyword_merger::kTarget2, keyword_merger::kTargetBoth},
          {keyword_merger::kRandomOrder, keyword_merger::kListOrder}}},
        {"anchor",
         "锚文本合成器",
         anchorComposerTable,
         nullptr,
         anchor_composer::kCompose,
         anchor_composer::kResult,
         {}},
    };
    return all;
}

ToolPress pressRandom(Form& form, std::string_view button, std::optional<std::uint64_t> seed,
                      const ResultLimits& limits) {
    RandomTextKind kind = RandomTextKind::Chinese;
    if (button == random_text::kGenerateAlnum)
        kind = RandomTextKind::Alnum;
    else if (button != random_text::kGenerateChinese)
        return ToolPress::NotRunButton;
    RandomTextRun run;
    return clickRandomTextButton(form, kind, run, seed, limits) ? ToolPress::Done
                                                                : ToolPress::Refused;
}

ToolPress pressOne(std::string_view tool, Form& form, std::string_view button,
                   std::optional<std::uint64_t> seed, const ResultLimits& limits) {
    if (tool == "random") return pressRandom(form, button, seed, limits);
    const HeadlessTool& found = *findTool(tool);
    if (button != found.mainButton) return ToolPress::NotRunButton;
    Random random(seed);
    bool stop = false;
    bool done = true;
    if (tool == "sequence") {
        done = generateSequenceInto(form, limits);
    } else if (tool == "combine") {
        done = pressCombinerButton(form, stop, random, {limits.maxItems, limits.maxBytes});
    } else if (tool == "merge") {
        done = pressMergerButton(form, random, stop, limits);
    } else {
        pressAnchorComposer(form, stop, limits);
    }
    return done ? ToolPress::Done : ToolPress::Refused;
}

}  // namespace

const HeadlessTool* findTool(std::string_view name) {
    for (const HeadlessTool& t : tools()) {
        if (t.name == name) return &t;
    }
    return nullptr;
}

std::vector<std::string_view> toolNames() {
    std::vector<std::string_view> names;
    for (const HeadlessTool& t : tools())
        names.push_back(t.name);
    return names;
}

void setToolRadio(const HeadlessTool& tool, Form& form, Control& radio, bool ticked) {
    radio.setTicked(ticked);
    if (!ticked) return;
    for (const auto& group : tool.radioGroups) {
        if (std::find(group.begin(), group.end(), radio.name()) == group.end()) continue;
        for (std::string_view other : group) {
            if (other != radio.name()) form.find(other)->setTicked(false);
        }
    }
}

void applyToolRules(const HeadlessTool& tool, Form& form) {
    if (tool.name == "sequence") applySequenceCoupling(form);
    if (tool.name == "merge") applyMergerEnableRule(form);
}

ToolPress pressToolButton(const HeadlessTool& tool, Form& form, std::string_view button,
                          std::optional<std::uint64_t> seed, const ResultLimits& limits) {
    return pressOne(tool.name, form, button, seed, limits);
}

}  // namespace lct
