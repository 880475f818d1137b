#pragma once
// What the main window is running. The window holds it, and its run buttons
// read it, never their own captions, to tell a click that starts a run from
// one that stops it.

namespace lct {

/// None, or the run that one of the window's run buttons started. That
/// button serves as the run's stop button until the run ends; the other run
/// buttons are disabled meanwhile.
enum class MainWindowRun {
    Idle,
    Preview,      ///< 按钮预览
    FileBatch,    ///< 按钮批量处理
    FolderBatch,  ///< 按钮批量处理文件夹: listing the folder, then its batch
    LinkMap,  ///< 按钮从文件夹生成链接表: listing the folder, then reading its articles
};

}  // namespace lct
