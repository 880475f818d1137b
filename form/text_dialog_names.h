#pragma once
// The names of the text dialog's controls, each written once: its control
// table (textDialogTable, form/text_dialog.h), its logic and its Qt window
// name controls only through these constants.

#include <string_view>

namespace lct::text_dialog {

inline constexpr std::string_view kPrompt = "编辑框提示";
inline constexpr std::string_view kText = "编辑框正文";
inline constexpr std::string_view kClear = "按钮清空";
inline constexpr std::string_view kImportPaths = "按钮文件名";
inline constexpr std::string_view kImportContents = "按钮文件";
inline constexpr std::string_view kRestore = "按钮恢复";
inline constexpr std::string_view kPaste = "按钮粘贴";
/// The frame of the buttons; the information form hides it.
inline constexpr std::string_view kButtonFrame = "外形框";
inline constexpr std::string_view kCancel = "按钮取消";
inline constexpr std::string_view kConfirm = "按钮确定";

}  // namespace lct::text_dialog
