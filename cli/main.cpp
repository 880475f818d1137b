// lancitong-cli: the command-line driver. It builds the main window's form
// without a display, loads the settings into it, applies --mode and --set,
// and runs the same run driver as the window's preview and batch buttons.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/form_options.h"
#include "app/main_window_names.h"
#include "app/main_window_settings.h"
#include "app/main_window_table.h"
#include "cli/arguments.h"
#include "cli/form_setup.h"
#include "cli/host.h"
#include "cli/output.h"
#include "cli/shard.h"
#include "cli/tool_command.h"
#include "engine/line_breaks.h"
#include "engine/run_driver.h"
#include "files/folder_tree.h"
#include "files/link_map.h"
#include "files/paths.h"
#include "files/result_location.h"
#include "files/run_services.h"
#include "files/text_file.h"
#include "form/headless_form.h"
#include "platform/charset.h"
#include "platform/error_text.h"
#include "platform/memory.h"
#include "platform/settings_location.h"
#include "platform/version.h"
#include "settings/settings_store.h"

namespace lct::cli {
namespace {

// GBK text with CR LF as UTF-8 with LF.
std::string outputText(std::string_view gbk) {
    return crLfToLf(gbkToUtf8(gbk));
}

std::string settingsPath(const Arguments& args) {
    if (args.ini) return *args.ini;
    return defaultSettingsPath(std::string(kProgramName) + ".ini");
}

// How long `settings` waits for another writer (another `settings` run) to
// finish before it refuses.
constexpr std::chrono::seconds kSettingsWait{10};

// Loads the settings file into the form, as the window does when it opens,
// without holding it: a missing file leaves every default (and is not
// created), and a file held by a running window is still read. Anything else
// that keeps the file from being read (a folder, no permission) is an error:
// the run would go on with options the user never chose. Returns the reason.
std::string loadSettings(const std::string& path, Form& form) {
    SettingsStore store;
    if (store.load(path)) {
        loadMainWindowSettings(store, form);
    } else if (store.fileAccess() != FileAccess::Missing) {
        return "无法读取配置文件 " + terminalSafe(path) + "：" + store.fileAccessError();
    }
    return {};
}

// Holds the settings file from loading to saving, so that no other writer's
// change is lost in between.
bool holdSettings(SettingsStore& store, const std::string& path) {
    if (store.open(path, kSettingsWait)) return true;
    std::string why;
    switch (store.fileAccess()) {
        case FileAccess::Locked:
            why = "正被另一个青禾·澜词通使用（等待 " + std::to_string(kSettingsWait.count()) +
                  " 秒后仍未释放）";
            break;
        case FileAccess::ReadOnly:
            why = "不能写入（" + store.fileAccessError() + "）";
            break;
        case FileAccess::NotAFile:
            why = "的位置上不是文件";
            break;
        default:
            why = "无法打开（" + store.fileAccessError() + "）";
            break;
    }
    printError("lancitong-cli: 配置文件" + why + "，未保存任何设置：" + terminalSafe(path));
    return false;
}

// Saves the form's settings as the window does when it closes.
int saveSettings(SettingsStore& store, Form& form) {
    const SaveOutcome outcome = saveMainWindowSettings(store, form);
    if (outcome.ok()) return kDoneStatus;
    printError("lancitong-cli: 以下设置未能保存，配置文件保持原样：");
    for (const std::string& failure : outcome.failures)
        printError("  " + terminalSafe(failure));
    return kRefusedStatus;
}

// The text of a file through the codec (a gzip file is decompressed in memory:
// the command line never rewrites a file it only reads); nullopt, with the
// reason in `error`, when it cannot be read.
std::optional<std::string> readTextOf(std::string_view path, TextEncoding requested,
                                      std::string* error = nullptr) {
    TextFile file = readTextFile(path, requested);
    if (file.detected == TextEncoding::Detect) {
        if (error) *error = file.error;
        return std::nullopt;
    }
    return std::move(file.text);
}

int preview(const Arguments& args, HeadlessForm& form) {
    const RunOptions options = readRunOptions(form);
    PreviewRequest request;
    request.seed = args.seed;
    request.title =
        args.title ? editBoxText(*args.title) : textOf(form, main_window::kPreviewTitle);
    if (args.contentFile) {
        std::string error;
        const std::optional<std::string> text =
            readTextOf(*args.contentFile, options.inputEncoding, &error);
        if (!text)
            return usageError("无法读取 --content-file：" + terminalSafe(*args.contentFile) + "：" +
                              error);
        request.content = *text;
    } else {
        request.content = textOf(form, main_window::kPreviewContent);
    }
    CliHost host(false);
    FileRunServices services;
    const RunResult result = runPreview(options, host, services, request);
    if (result.status == RunStatus::Refused) return kRefusedStatus;
    printOut(outputText(request.title));
    printOut("\n");
    printOut(outputText(request.content));
    return kDoneStatus;
}

// The inputs of a batch: the files of the whole list (each PATH, or the files
// a folder lists, in order) that belong to this part, what could not be
// listed, and the result folder, beside the first path of the whole list (a
// missing one included) so that every part writes into the same one.
struct BatchInputs {
    std::vector<std::string> paths;
    std::vector<std::string> relativePaths;  // parallel to paths
    std::vector<RunFailure> failures;
    std::string resultFolder;
};

// Shares the files of a batch out to the parts, and notes the first path of
// the whole list.
struct InputSorter {
    Shard shard;
    bool recursive = false;
    BatchInputs inputs;
    std::string first;

    void note(const std::string& path) {
        if (first.empty()) first = path;
    }

    // A file whose part `key` (its path below the folder named, or its name)
    // tells.
    void keep(const std::string& path, std::string_view key) {
        note(path);
        if (partOf(key, shard.count) != shard.index) return;
        inputs.paths.push_back(path);
        inputs.relativePaths.emplace_back(key);
    }

    void addFolder(const std::string& path, const std::string& filter) {
        const std::string asFolder = path.ends_with('/') ? path : path + "/";
        std::vector<std::string> listed;
        if (recursive) {
            // The results keep the folder's shape inside it, and the listing
            // never enters them.
            note(asFolder);
            listFolderTree(path, filter, resultFolderOf(first), listed, &inputs.failures);
        } else if (listFolderFiles(path, filter, listed, &inputs.failures) == 0 &&
                   !inputs.failures.empty() && inputs.failures.back().path == path) {
            // A folder that cannot be listed is every part's failure too; its
            // files would have had their results inside it.
            note(asFolder);
        }
        for (const std::string& file : listed)
            keep(file, pathBelow(path, file));
    }
};

BatchInputs batchInputs(const Arguments& args, const std::string& filter) {
    InputSorter sorter{args.shard.value_or(Shard{}), args.recursive, {}, {}};
    for (const std::string& path : args.paths) {
        struct stat st {};
        // A path that is not there may have been a file or a folder: no part
        // can tell whose it was, so every part reports it.
        if (::lstat(path.c_str(), &st) != 0) {
            sorter.inputs.failures.push_back({path, errorText(errno)});
            sorter.note(path);
            continue;
        }
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            sorter.addFolder(path, filter);
        } else {
            const std::size_t slash = path.rfind('/');
            sorter.keep(path, slash == std::string::npos ? path : path.substr(slash + 1));
        }
    }
    if (!sorter.first.empty()) sorter.inputs.resultFolder = resultFolderOf(sorter.first);
    return std::move(sorter.inputs);
}

int batch(const Arguments& args, HeadlessForm& form) {
    BatchRequest request;
    request.seed = args.seed;
    if (request.seed && args.shard) request.seed = seedOfPart(*request.seed, *args.shard);
    request.offerToOpenFolder = false;
    request.jobs = args.jobs.value_or(std::max(1u, std::thread::hardware_concurrency()));
    BatchInputs inputs = batchInputs(args, textOf(form, main_window::kFileFilter));
    request.paths = std::move(inputs.paths);
    request.relativePaths = std::move(inputs.relativePaths);
    request.resultsAtRelativePaths = args.recursive;
    request.listingFailures = std::move(inputs.failures);
    request.resultFolder = std::move(inputs.resultFolder);
    if (args.report) request.reportPath = *args.report;
    if (request.paths.empty() && request.listingFailures.empty()) {
        // One part of many may hold no file; that is no mistake of the user's.
        if (args.shard && args.shard->count > 1) {
            printError("lancitong-cli: 这一部分（--shard " + std::to_string(args.shard->index) +
                       "/" + std::to_string(args.shard->count) + "）没有文件");
            return kDoneStatus;
        }
        return usageError("给出的文件夹里没有符合“编辑框过滤”的文件");
    }
    CliHost host(isatty(STDERR_FILENO) != 0);
    FileRunServices services;
    const RunResult result = runBatch(readRunOptions(form), host, services, request);
    host.finishProgress();
    if (result.status == RunStatus::Refused) return kRefusedStatus;
    printOut(outputText(result.summary) + "\n" + result.resultFolder + "\n");
    return result.failures.empty() && result.reportError.empty() ? kDoneStatus : kFailuresStatus;
}

// What linkmap tells on standard error about an article it left out.
std::string skipText(const LinkMapSkip& skip) {
    const std::string path = terminalSafe(skip.path);
    switch (skip.why) {
        case LinkMapSkip::Why::Unreadable:
            return "失败：" + path + "：" + terminalSafe(skip.detail);
        case LinkMapSkip::Why::Untitled:
            return "没有标题，未列入：" + path;
        default:
            return "关键词“" + terminalSafe(skip.detail) + "”已由 " + terminalSafe(skip.firstPath) +
                   " 给出，未列入：" + path;
    }
}

int linkmap(const Arguments& args, HeadlessForm& form) {
    BatchInputs inputs = batchInputs(args, textOf(form, main_window::kFileFilter));
    if (inputs.paths.empty() && inputs.failures.empty())
        return usageError("给出的文件夹里没有符合“编辑框过滤”的文件");
    for (const RunFailure& failure : inputs.failures)
        printError("失败：" + terminalSafe(failure.path) + "：" + terminalSafe(failure.reason));
    LinkMapRequest request;
    request.paths = std::move(inputs.paths);
    request.relativePaths = std::move(inputs.relativePaths);
    request.baseUrl = args.baseUrl;
    request.from = args.fromHeading ? PageKeywordSource::FirstHeading : PageKeywordSource::Title;
    request.encoding = readRunOptions(form).inputEncoding;
    request.jobs = std::max(1u, std::thread::hardware_concurrency());
    const LinkMap map = buildLinkMap(request);
    bool unreadable = !inputs.failures.empty();
    for (const LinkMapSkip& skip : map.skipped) {
        printError(skipText(skip));
        unreadable = unreadable || skip.why == LinkMapSkip::Why::Unreadable;
    }
    printOut(linkMapText(map, "\n"));
    return unreadable ? kFailuresStatus : kDoneStatus;
}

int run(const std::vector<std::string>& argv) {
    const ParseResult parsed = parseArguments(argv);
    if (!parsed.arguments) return usageError(parsed.error);
    const Arguments& args = *parsed.arguments;
    switch (args.command) {
        case Command::Help:
            printOut(usageText());
            return kDoneStatus;
        case Command::Version:
            printOut("lancitong-cli " + std::string(kVersion) + "\n");
            return kDoneStatus;
        default:
            break;
    }

    const FileReader reader = [](std::string_view path) {
        return readTextOf(path, TextEncoding::Detect);
    };
    if (args.command == Command::Tool) return runToolCommand(args, settingsPath(args), reader);

    HeadlessForm form(mainWindowTable());
    const std::string ini = settingsPath(args);
    SettingsStore held;
    if (args.command == Command::Settings) {
        // The user's configuration folder is made on the first save; a path
        // given with --ini is taken as it is.
        if (!args.ini && !makeSettingsFolder(ini)) {
            printError("lancitong-cli: 无法创建配置文件所在的文件夹，未保存任何设置：" +
                       terminalSafe(ini));
            return kRefusedStatus;
        }
        if (!holdSettings(held, ini)) return kRefusedStatus;
        loadMainWindowSettings(held, form);
    } else if (const std::string error = loadSettings(ini, form); !error.empty()) {
        return usageError(error);
    }
    if (args.mode) {
        if (const std::string error = applyMode(form, *args.mode); !error.empty())
            return usageError(error);
    }
    for (const auto& [name, value] : args.sets) {
        if (const std::string error = applySet(form, name, value, reader); !error.empty())
            return usageError(error);
    }

    // A link map runs none of the options that a run could refuse.
    if (args.command != Command::Settings && args.command != Command::Linkmap) {
        if (const std::string error = unusableOptionMessage(form); !error.empty())
            return usageError(gbkToUtf8(error));
    }
    switch (args.command) {
        case Command::Preview:
            return preview(args, form);
        case Command::Batch:
            return batch(args, form);
        case Command::Linkmap:
            return linkmap(args, form);
        default:
            return saveSettings(held, form);
    }
}

}  // namespace
}  // namespace lct::cli

int main(int argc, char** argv) {
    // Past a file-size limit a write fails (and that result counts as failed)
    // instead of the signal ending the whole batch.
    std::signal(SIGXFSZ, SIG_IGN);
    lct::returnBigBuffersWhenFreed();
    std::vector<std::string> args(argv + 1, argv + argc);
    return lct::cli::finishOutput(lct::cli::run(args));
}
