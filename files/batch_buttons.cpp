#include "files/batch_buttons.h"

#include "files/paths.h"
#include "platform/charset.h"

namespace lct {
namespace {

constexpr std::string_view kFilesButton = "按钮批量处理";
constexpr std::string_view kFolderButton = "按钮批量处理文件夹";
constexpr std::string_view kPathListButton = "按钮批量处理路径列表";

void enable(Form& form, std::string_view name, bool enabled) {
    if (Control* c = form.find(name)) c->setEnabled(enabled);
}

void runBatch(BatchContext& context, std::vector<std::string> paths) {
    RunRequest request;
    request.batch = true;
    request.paths = std::move(paths);
    runArticles(context.form, context.host, context.services, request);
}

}  // namespace

std::string batchFileFilter() {
    return utf8ToGbk(
        "常见文件(*.txt;*.htm)|*.txt;*.htm;*.html|文本文件(*.txt)|*.txt|网页文件(*.html)|*.htm;"
        "*.html|全部文件(*.*)|*.*");
}

void onBatchFilesClicked(BatchContext& context) {
    Control* button = context.form.find(kFilesButton);
    if (!button) return;
    if (button->text() != utf8ToGbk("批量处理(文件)")) {
        button->setText(utf8ToGbk("正在停止中.."));
        context.stopFlag = true;
        return;
    }
    const std::vector<std::string> paths = context.dialogs.chooseFiles(
        utf8ToGbk("请选择多个需要处理的文章："), batchFileFilter(), gbkToUtf8(button->tag()));
    if (paths.empty()) return;
    button->setTag(utf8ToGbk(FolderOfPath(paths.front())));
    button->setText(utf8ToGbk("处理中..点我停止"));
    context.stopFlag = false;
    enable(context.form, kFolderButton, false);
    enable(context.form, kPathListButton, false);
    runBatch(context, paths);
    enable(context.form, kFolderButton, true);
    enable(context.form, kPathListButton, true);
    button->setText(utf8ToGbk("批量处理(文件)"));
}

void onBatchFolderClicked(BatchContext& context, bool rightRelease) {
    Control* button = context.form.find(kFolderButton);
    if (!button) return;
    const std::string idle = utf8ToGbk("   批量处理(文件夹)");
    if (button->text() != idle) {
        button->setText(utf8ToGbk("正在停止中.."));
        context.stopFlag = true;
        return;
    }
    const std::string filter = textOf(context.form, "编辑框过滤");
    const std::string title = (rightRelease ? std::string() : std::string("+")) +
                              utf8ToGbk("请选择需要处理的文章(") + filter +
                              utf8ToGbk(")所在文件夹：");
    const std::string folder = context.dialogs.chooseFolder(title, gbkToUtf8(button->tag()));
    if (folder.empty()) return;
    button->setTag(utf8ToGbk(folder));
    button->setText(utf8ToGbk("   正在读取文件.."));
    std::vector<std::string> paths;
    ListFolderFiles(folder, filter, paths);
    button->setText(idle);
    if (!paths.empty()) {
        button->setText(utf8ToGbk("   处理中..点我停止"));
        context.stopFlag = false;
        enable(context.form, kFilesButton, false);
        enable(context.form, kPathListButton, false);
        runBatch(context, std::move(paths));
        enable(context.form, kFilesButton, true);
        enable(context.form, kPathListButton, true);
    }
    button->setText(idle);
}

}  // namespace lct
