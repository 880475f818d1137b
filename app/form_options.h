#pragma once
// The run's options as the main window's controls show them: the only place
// that turns the window's controls into the engine's option records.

#include <string>

#include "engine/article_options.h"
#include "engine/run_driver.h"
#include "form/form.h"

namespace lct {

/// The mode the form shows: the shuffle panel's visibility, then the radio box.
PipelineMode pipelineModeOf(Form& form);

/// The pipeline's options as the controls of a main-window form show them.
ArticleOptions readArticleOptions(Form& form);

/// Why the options the form's mode reads cannot run (GBK, for a message box or
/// the command line), such as a replace cap that is no count ("abc", "-1");
/// empty when they can. A run checks this before it starts.
std::string unusableOptionMessage(Form& form);

/// True when the options can run; otherwise shows unusableOptionMessage in a
/// warning box on the form and returns false.
bool optionsUsableOrWarn(Form& form);

/// Everything a preview or batch reads: the pipeline's options, the two
/// encodings, the new extension and whether a batch writes its report.
RunOptions readRunOptions(Form& form);

}  // namespace lct
