#pragma once
// The replace panel's "从文件夹生成链接表…": the keyword list filled with a
// link map made from a site's folder, as `lancitong-cli linkmap` makes it
// (files/link_map.h). Written over the toolkit interface; the dialogs come
// from the caller.

#include "app/batch_buttons.h"

namespace lct {

/// 按钮从文件夹生成链接表 clicked: with the window idle, it asks for the site's
/// folder (starting where the folder batch last was) and its base address
/// (starting with the last one entered, kept in the button's tag), lists the
/// folder as the folder batch would (选择框包含子文件夹, 编辑框过滤), reads its
/// articles in 组合框输入编码 and, when the map has lines, puts them into
/// 编辑框关键词列表 ("关键词<TAB>网址" lines), asking first when the list holds
/// anything. Articles that cannot be read go to the host as failures, those
/// left out (no title, a keyword given before) as problems. While it works (the window's run
/// LinkMap) the other run buttons are disabled and a second click stops it, leaving the keyword
/// list as it was. A disabled button, or one clicked during another run, does nothing.
void onLinkMapClicked(BatchContext& context);

}  // namespace lct
