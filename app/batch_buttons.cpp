#include "app/batch_buttons.h"

#include <algorithm>
#include <thread>

#include "app/form_options.h"
#include "app/main_window_names.h"
#include "files/folder_tree.h"
#include "files/paths.h"
#include "files/result_location.h"
#include "platform/charset.h"

namespace lct {

using namespace main_window;

namespace {

void enable(Form& form, std::string_view name, bool enabled) {
    if (Control* c = form.find(name)) c->setEnabled(enabled);
}

void startBatch(BatchContext& context, BatchRequest request) {
    // Reading and writing on the other cores; the engine stays on the window's
    // thread, which keeps the stop button, the progress and the status line.
    request.jobs = std::max(1u, std::thread::hardware_concurrency());
    // The host has been told everything the result holds: each failure as it
    // happened, the refusal, the summary.
    static_cast<void>(
        runBatch(readRunOptions(context.form), context.host, context.services, request));
}

}  // namespace

bool listBatchFolder(BatchContext& context, const std::string& folder, BatchRequest& request) {
    const std::string filter = textOf(context.form, kFileFilter);
    const KeepAlive keepAlive = [&context] { context.host.keepAlive(); };
    if (tickedOf(context.form, kIncludeSubfolders)) {
        // The results keep the folder's shape in its result folder, which the
        // listing never enters.
        request.resultFolder = resultFolderOf(folder.ends_with('/') ? folder : folder + "/");
        request.resultsAtRelativePaths = true;
        listFolderTree(folder, filter, request.resultFolder, request.paths,
                       &request.listingFailures, keepAlive);
    } else {
        listFolderFiles(folder, filter, request.paths, &request.listingFailures, keepAlive);
    }
    request.relativePaths.clear();
    for (const std::string& path : request.paths)
        request.relativePaths.push_back(pathBelow(folder, path));
    if (context.stopFlag) return false;  // stopped while listing: nothing runs
    if (!request.paths.empty() || !request.listingFailures.empty()) return true;
    context.host.tell(utf8ToGbk("这个文件夹里没有符合过滤条件“") + filter + utf8ToGbk("”的文件：") +
                      utf8ToGbk(folder));
    return false;
}

void enableOtherRunButtons(Form& form, std::string_view button, bool enabled) {
    for (std::string_view name :
         {kBatchFiles, kBatchFolder, kBatchPathList, kPreviewButton, kLinkMapButton})
        if (name != button) enable(form, name, enabled);
}

std::string batchFileFilter() {
    return utf8ToGbk(
        "常见文件(*.txt;*.htm)|*.txt;*.htm;*.html|文本文件(*.txt)|*.txt|网页文件(*.html)|*.htm;"
        "*.html|全部文件(*.*)|*.*");
}

void onBatchFilesClicked(BatchContext& context) {
    Control* button = context.form.find(kBatchFiles);
    if (!button || !button->enabled()) return;
    if (context.run == MainWindowRun::FileBatch) {
        button->setText(utf8ToGbk("正在停止中.."));
        context.stopFlag = true;
        return;
    }
    if (context.run != MainWindowRun::Idle || !optionsUsableOrWarn(context.form)) return;
    const std::vector<std::string> paths = context.dialogs.chooseFiles(
        utf8ToGbk("请选择多个需要处理的文章："), batchFileFilter(), gbkToUtf8(button->tag()));
    if (paths.empty()) return;
    button->setTag(utf8ToGbk(folderOfPath(paths.front())));
    button->setText(utf8ToGbk("处理中..点我停止"));
    context.run = MainWindowRun::FileBatch;
    context.stopFlag = false;
    enableOtherRunButtons(context.form, kBatchFiles, false);
    BatchRequest request;
    request.paths = paths;
    startBatch(context, std::move(request));
    enableOtherRunButtons(context.form, kBatchFiles, true);
    button->setText(utf8ToGbk("批量处理(文件)"));
    context.run = MainWindowRun::Idle;
}

void onBatchFolderClicked(BatchContext& context, bool rightRelease) {
    Control* button = context.form.find(kBatchFolder);
    if (!button || !button->enabled()) return;
    if (context.run == MainWindowRun::FolderBatch) {
        button->setText(utf8ToGbk("正在停止中.."));
        context.stopFlag = true;
        return;
    }
    if (context.run != MainWindowRun::Idle || !optionsUsableOrWarn(context.form)) return;
    const std::string filter = textOf(context.form, kFileFilter);
    const std::string title = (rightRelease ? std::string() : std::string("+")) +
                              utf8ToGbk("请选择需要处理的文章(") + filter +
                              utf8ToGbk(")所在文件夹：");
    const std::string folder = context.dialogs.chooseFolder(title, gbkToUtf8(button->tag()));
    if (folder.empty()) return;
    button->setTag(utf8ToGbk(folder));
    button->setText(utf8ToGbk("   正在读取文件.."));
    // Listing lets pending messages run too: a stop click meanwhile means no run.
    context.run = MainWindowRun::FolderBatch;
    context.stopFlag = false;
    enableOtherRunButtons(context.form, kBatchFolder, false);
    BatchRequest request;
    if (listBatchFolder(context, folder, request)) {
        // A folder that cannot be listed runs as a batch of its failure alone,
        // so that it is reported like any other.
        button->setText(utf8ToGbk("   处理中..点我停止"));
        startBatch(context, std::move(request));
    }
    enableOtherRunButtons(context.form, kBatchFolder, true);
    button->setText(utf8ToGbk("   批量处理(文件夹)"));
    context.run = MainWindowRun::Idle;
}

}  // namespace lct
