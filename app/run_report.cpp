#include "app/run_report.h"

namespace lct {

RunReport makeRunReport(const std::vector<RunFailure>& failures,
                        const std::vector<std::string>& problems) {
    RunReport report;
    if (failures.empty() && problems.empty()) return report;
    if (!failures.empty()) {
        report.prompt = "有 " + std::to_string(failures.size()) + " 个文件处理失败：";
        if (!problems.empty())
            report.prompt += "（另有 " + std::to_string(problems.size()) + " 个问题列在最后）";
    } else {
        report.prompt = "处理时出现以下问题：";
    }
    for (const RunFailure& failure : failures) {
        report.rows.push_back({failure.path, failure.reason});
        report.text += failure.path + "：" + failure.reason + "\n";
    }
    if (!failures.empty() && !problems.empty()) report.text += "\n";
    for (const std::string& problem : problems) {
        report.rows.push_back({{}, problem});
        report.text += problem + "\n";
    }
    if (!report.text.empty()) report.text.pop_back();
    return report;
}

}  // namespace lct
