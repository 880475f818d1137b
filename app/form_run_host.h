#pragma once
// The main window as a run's host: the run driver's messages, status line,
// progress, busy state and preview result shown in the window's controls.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/run_driver.h"
#include "form/form.h"

namespace lct {

class FormRunHost : public RunHost {
  public:
    /// `stopFlag` is the process-wide flag that the run buttons set.
    FormRunHost(Form& form, bool& stopFlag) : form_(form), stopFlag_(stopFlag) {}

    void tell(std::string_view text) override;
    bool ask(std::string_view question) override;
    void focusKeywordList() override;
    /// Locks the three option panels and shows the progress bar and the
    /// status label while a batch runs; the status label stays afterwards
    /// with the summary. A batch makes the preview's marks outdated.
    void busy(bool running) override;
    void status(std::string_view text) override;
    void progress(int range, int position) override;
    /// Puts the result into 编辑框结果标题 and 编辑框结果内容, marks the items
    /// in them, and says how many there are in 标签32 ("插入 12 处", "替换 5
    /// 处"; empty in shuffle-replace mode).
    void showPreview(std::string_view title, std::string_view content,
                     const PreviewItems& items) override;
    bool stopRequested() override { return stopFlag_; }
    /// Problems and failures are kept for the report at the end of the run.
    void problem(std::string_view text) override { problems_.emplace_back(text); }
    void failed(std::string_view path, std::string_view reason) override {
        failures_.push_back({std::string(path), std::string(reason)});
    }
    /// Processes the window's pending messages (form/pending_messages.h).
    void keepAlive() override;

    /// What the runs since the last call reported (UTF-8); emptied by the call.
    std::vector<std::string> takeProblems() { return std::exchange(problems_, {}); }
    std::vector<RunFailure> takeFailures() { return std::exchange(failures_, {}); }

  protected:
    Form& form() { return form_; }

  private:
    Form& form_;
    bool& stopFlag_;
    std::vector<std::string> problems_;
    std::vector<RunFailure> failures_;
};

}  // namespace lct
