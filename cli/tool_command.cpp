#include "cli/tool_command.h"

#include <algorithm>

#include "cli/host.h"
#include "cli/output.h"
#include "engine/line_breaks.h"
#include "form/headless_form.h"
#include "platform/bytes.h"
#include "platform/charset.h"
#include "platform/file_io.h"
#include "tools/tool_runs.h"

namespace lct::cli {
namespace {

std::string knownTools() {
    std::string names;
    for (std::string_view name : toolNames()) {
        if (!names.empty()) names += "、";
        names += name;
    }
    return names;
}

// One --set on the tool's form: names are the tool's own, and a ticked radio
// box unticks the others of its group.
std::string applyToolSet(const HeadlessTool& tool, Form& form, const std::string& name,
                         const std::string& value, const FileReader& readFile) {
    Control* control = form.tryFind(name);
    if (!control) return std::string(tool.title) + "没有名为“" + name + "”的控件";
    if (std::string error = applySet(form, name, value, readFile); !error.empty()) return error;
    if (control->kind() == ControlKind::RadioBox)
        setToolRadio(tool, form, *control, control->ticked());
    return {};
}

void printMessages(const HeadlessForm& form) {
    // Questions (a large cross product) are answered, not shown.
    for (const HeadlessForm::Message& message : form.messages()) {
        if (message.buttons == MessageButtons::Ok) printError(crLfToLf(gbkToUtf8(message.text)));
    }
}

int writeResult(const Arguments& args, const std::string& utf8) {
    if (!args.output) {
        printOut(utf8);
        return kDoneStatus;
    }
    const std::optional<std::string> bytes = encodeOutput(utf8, args.encoding.value_or("utf-8"));
    if (!bytes)
        return usageError("未知的编码：" + *args.encoding + "（可用 utf-8、gbk、utf-16le）");
    if (*args.output == "-") {
        printOut(*bytes);
        return kDoneStatus;
    }
    std::string error;
    if (!writeProgramOutput(*args.output, *bytes, &error)) {
        printError("lancitong-cli: 无法写入 " + terminalSafe(*args.output) + "：" + error);
        return kFailuresStatus;
    }
    return kDoneStatus;
}

}  // namespace

std::optional<std::string> encodeOutput(std::string_view utf8, std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), toLowerAscii);
    if (lower == "utf-8" || lower == "utf8") return std::string(utf8);
    if (lower == "gbk") return utf8ToGbk(utf8);
    if (lower == "utf-16le" || lower == "utf16le" || lower == "utf-16")
        return convertCharset(utf8, "UTF-8", "UTF-16LE");
    return std::nullopt;
}

int runToolCommand(const Arguments& args, const std::string& settingsPath,
                   const FileReader& readFile) {
    const HeadlessTool* tool = findTool(args.tool);
    if (!tool) return usageError("未知的工具：" + args.tool + "（可用 " + knownTools() + "）");
    if (args.encoding && !encodeOutput("", *args.encoding))
        return usageError("未知的编码：" + *args.encoding + "（可用 utf-8、gbk、utf-16le）");
    HeadlessForm form(tool->table());
    if (tool->restore) {
        SettingsStore store;
        if (store.load(settingsPath)) {
            tool->restore(store, form);
        } else if (store.fileAccess() != FileAccess::Missing) {
            return usageError("无法读取配置文件 " + terminalSafe(settingsPath) + "：" +
                              store.fileAccessError());
        }
    }
    for (const auto& [name, value] : args.sets) {
        if (const std::string error = applyToolSet(*tool, form, name, value, readFile);
            !error.empty())
            return usageError(error);
    }
    applyToolRules(*tool, form);

    const std::string button = args.press.value_or(std::string(tool->mainButton));
    if (!form.tryFind(button))
        return usageError(std::string(tool->title) + "没有名为“" + button + "”的按钮");
    // Nobody is there to answer: a large cross product goes ahead.
    form.setAnswer(MessageAnswer::Yes);
    const ToolPress press = pressToolButton(*tool, form, button, args.seed);
    if (press == ToolPress::NotRunButton)
        return usageError("“" + button + "”不是" + std::string(tool->title) + "的生成按钮");
    printMessages(form);
    if (press == ToolPress::Refused) return kUsageStatus;
    return writeResult(args, crLfToLf(gbkToUtf8(textOf(form, tool->resultBox))));
}

}  // namespace lct::cli
