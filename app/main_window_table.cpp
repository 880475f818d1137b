#include "app/main_window_table.h"

namespace lct {
namespace {

constexpr std::string_view kInsertPanel = "分组框1";
constexpr std::string_view kReplacePanel = "分组框2";
constexpr std::string_view kShufflePanel = "分组框文章打乱替换器";
constexpr std::string_view kPreviewPanel = "分组框3";

constexpr std::string_view kSampleKeywords =
    "【关键词1】\r\n【关键词2】\r\n【关键词3】\r\n【关键词4】\r\n【关键词5】";

constexpr std::string_view kSampleTemplates =
    "<a href=\"https://www.example.com/\">*</a>|<strong>*</strong>|"
    "<a href=\"https://www.example.com/\" target=\"_blank\">*</a>";

constexpr std::string_view kSampleArticle =
    "<div class=\"article\">\r\n"
    "<p>本报讯 今年秋季，城郊的青禾农场迎来了丰收。农场负责人介绍，今年的稻谷亩产比去年提高了一成，"
    "新引进的节水灌溉设备功不可没。</p>\r\n"
    "<p>据了解，农场从春天开始试用新的种植方法，并邀请农业大学的专家定期指导。"
    "The new irrigation system saves water and time. 专家表示，这种方法值得在周边地区推广。</p>\r\n"
    "<p>丰收节期间，农场还向市民开放，游客可以体验收割、碾米等农活，感受田园生活的乐趣。</p>\r\n"
    "</div>";

constexpr std::string_view kTitleTypes[] = {"随机位置", "标题前", "标题后", "标题前或后",
                                            "替换原标题"};
constexpr std::string_view kEncodings[] = {"自动识别", "GBK",        "UTF-8",
                                           "Unicode",  "Unicode be", "Big5"};

std::vector<std::string_view> items(std::initializer_list<std::string_view> list) {
    return list;
}

template <std::size_t N>
std::vector<std::string_view> items(const std::string_view (&list)[N]) {
    return {std::begin(list), std::end(list)};
}

ControlTable buildTable() {
    using K = ControlKind;
    return {
        // Keyword source, outside the panels.
        {.name = "标签1", .kind = K::Label, .text = "请输入关键词列表："},
        {.name = "编辑框关键词列表",
         .kind = K::EditBox,
         .text = kSampleKeywords,
         .multiLine = true},
        {.name = "按钮粘贴", .kind = K::Button, .text = "粘贴"},
        {.name = "拖放对象1", .kind = K::DropTarget, .visible = false},
        {.name = "标签2", .kind = K::Label, .text = "调用方式："},
        {.name = "组合框调用方式",
         .kind = K::ComboBox,
         .items = items({"不重复随机", "自然随机", "顺序调用"})},
        {.name = "标签12",
         .kind = K::Label,
         .text = "再组合关键词：(输入“*”代表 关键词列表 里的关键词；多个组合使用“|”隔开)"},
        {.name = "编辑框再组合关键词", .kind = K::EditBox, .text = kSampleTemplates},
        {.name = "按钮粘贴1", .kind = K::Button, .text = "粘贴"},

        // Insert panel.
        {.name = kInsertPanel,
         .kind = K::GroupBox,
         .text = "  插入新关键词 - 使用“再组合关键词”插入到标题或内容"},
        {.name = "单选框插入", .kind = K::RadioBox, .parent = kInsertPanel, .ticked = true},
        {.name = "选择框插入标题",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "插入到标题",
         .ticked = true},
        {.name = "组合框标题插入类型",
         .kind = K::ComboBox,
         .parent = kInsertPanel,
         .items = items(kTitleTypes)},
        {.name = "选择框标题插一次",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "标题只插一次",
         .ticked = true},
        {.name = "标签7", .kind = K::Label, .parent = kInsertPanel, .text = "插入分隔符："},
        {.name = "编辑框标题间隔符", .kind = K::EditBox, .parent = kInsertPanel, .text = " |，"},
        {.name = "选择框插入内容",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "插入到内容",
         .ticked = true},
        {.name = "组合框内容插入类型",
         .kind = K::ComboBox,
         .parent = kInsertPanel,
         .items = items({"全文随机位置", "每个段落内随机", "每个句子内随机", "段落行前", "段落行后",
                         "段落行前或行后", "段落行前后", "段落行前后(不同)", "每隔指定字数",
                         "每隔指定字数2", "文章首行", "文章头部", "文章尾部", "文章尾行",
                         "符号处全文随机"})},
        {.name = "标签18",
         .kind = K::Label,
         .parent = kInsertPanel,
         .text = "每隔字符数：",
         .visible = false},
        {.name = "编辑框每隔最少",
         .kind = K::EditBox,
         .parent = kInsertPanel,
         .text = "100",
         .visible = false},
        {.name = "标签19", .kind = K::Label, .parent = kInsertPanel, .visible = false},
        {.name = "编辑框每隔最多",
         .kind = K::EditBox,
         .parent = kInsertPanel,
         .text = "100",
         .visible = false},
        {.name = "标签15", .kind = K::Label, .parent = kInsertPanel, .text = "标点符号组："},
        {.name = "编辑框句子结尾符",
         .kind = K::EditBox,
         .parent = kInsertPanel,
         .text = "。|\\n|，|,|!|?|！|？"},
        {.name = "组合框符号插入模式",
         .kind = K::ComboBox,
         .parent = kInsertPanel,
         .items = items({"符号前面插入", "符号后面插入", "前后随机插入"}),
         .visible = false},
        {.name = "选择框插入次数",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "插入的次数",
         .ticked = true},
        {.name = "编辑框次数1", .kind = K::EditBox, .parent = kInsertPanel},
        {.name = "标签11", .kind = K::Label, .parent = kInsertPanel, .text = "到"},
        {.name = "编辑框次数2", .kind = K::EditBox, .parent = kInsertPanel},
        {.name = "选择框每次不同",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "每次插不同关键词",
         .ticked = true},
        {.name = "选择框更新关键词",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "每次使用新一轮关键词"},
        {.name = "选择框避免标签",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "自动避开网页标签",
         .ticked = true},
        {.name = "选择框避免单词",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "自动避开单词",
         .ticked = true},
        {.name = "选择框标题插入首行",
         .kind = K::CheckBox,
         .parent = kInsertPanel,
         .text = "标题插入首行"},

        // Replace panel.
        {.name = kReplacePanel,
         .kind = K::GroupBox,
         .text = "  替换原关键词 - 使用“再组合关键词”替换到内容原关键词处"},
        {.name = "单选框替换", .kind = K::RadioBox, .parent = kReplacePanel},

        // Shuffle panel, hidden at start.
        {.name = kShufflePanel,
         .kind = K::GroupBox,
         .text = "文章打乱替换器 - 本面板显示时，使用打乱替换功能，否则使用关键词插入功能",
         .visible = false},
        {.name = "选择框打乱标题",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "打乱标题",
         .ticked = true},
        {.name = "标签22", .kind = K::Label, .parent = kShufflePanel, .text = "打乱符号："},
        {.name = "编辑框标题打乱符号",
         .kind = K::EditBox,
         .parent = kShufflePanel,
         .text = "。|！|!|，|,| |？|?"},
        {.name = "选择框打乱内容",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "打乱内容",
         .ticked = true},
        {.name = "标签23", .kind = K::Label, .parent = kShufflePanel, .text = "打乱符号："},
        {.name = "编辑框内容打乱符号",
         .kind = K::EditBox,
         .parent = kShufflePanel,
         .text = "。|！|!|，|,|？|?|\\n"},
        {.name = "选择框文章一句",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "文章随机一句插入到标题"},
        {.name = "组合框插入类型",
         .kind = K::ComboBox,
         .parent = kShufflePanel,
         .items = items(kTitleTypes)},
        {.name = "标签24", .kind = K::Label, .parent = kShufflePanel, .text = "最少字数："},
        {.name = "编辑框最少字数", .kind = K::EditBox, .parent = kShufflePanel},
        {.name = "标签25", .kind = K::Label, .parent = kShufflePanel, .text = "包含的词："},
        {.name = "编辑框包含的词", .kind = K::EditBox, .parent = kShufflePanel},
        {.name = "选择框标题插入",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "标题插入到正文"},
        {.name = "编辑框插入最少", .kind = K::EditBox, .parent = kShufflePanel},
        {.name = "标签26", .kind = K::Label, .parent = kShufflePanel, .text = "到"},
        {.name = "编辑框插入最多", .kind = K::EditBox, .parent = kShufflePanel},
        {.name = "标签27", .kind = K::Label, .parent = kShufflePanel, .text = "次"},
        {.name = "选择框原标题",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "已打乱标题时使用原标题",
         .ticked = true},
        {.name = "选择框替换标题",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "替换标题"},
        {.name = "编辑框标题匹配式",
         .kind = K::EditBox,
         .parent = kShufflePanel,
         .text = "原标题1|原标题2|原标题3"},
        {.name = "编辑框标题替换式",
         .kind = K::EditBox,
         .parent = kShufflePanel,
         .text = "新标题1|新标题2|新标题3"},
        {.name = "选择框标题启用正则",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "启用正则"},
        {.name = "选择框标题忽视大小写",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "忽视大小写",
         .ticked = true},
        {.name = "标签28", .kind = K::Label, .parent = kShufflePanel, .text = "替换次数："},
        {.name = "编辑框标题替换次数", .kind = K::EditBox, .parent = kShufflePanel},
        {.name = "选择框替换内容",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "替换内容"},
        {.name = "编辑框内容匹配式",
         .kind = K::EditBox,
         .parent = kShufflePanel,
         .text = "原内容1|原内容2|原内容3"},
        {.name = "编辑框内容替换式",
         .kind = K::EditBox,
         .parent = kShufflePanel,
         .text = "新内容1|新内容2|新内容3"},
        {.name = "选择框内容启用正则",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "启用正则"},
        {.name = "选择框内容忽视大小写",
         .kind = K::CheckBox,
         .parent = kShufflePanel,
         .text = "忽视大小写",
         .ticked = true},
        {.name = "标签29", .kind = K::Label, .parent = kShufflePanel, .text = "替换次数："},
        {.name = "编辑框内容替换次数", .kind = K::EditBox, .parent = kShufflePanel},

        // Preview area.
        {.name = kPreviewPanel,
         .kind = K::GroupBox,
         .text =
             "预览区 - 请自由设置上面参数，然后点击预览，就知道设置效果了。确定效果后再批量处理"},
        {.name = "编辑框预览标题",
         .kind = K::EditBox,
         .parent = kPreviewPanel,
         .text = "这是测试的标题 這是測試的標題,ok"},
        {.name = "编辑框预览内容",
         .kind = K::EditBox,
         .parent = kPreviewPanel,
         .text = kSampleArticle,
         .multiLine = true},
        {.name = "编辑框结果标题", .kind = K::EditBox, .parent = kPreviewPanel},
        {.name = "编辑框结果内容", .kind = K::EditBox, .parent = kPreviewPanel, .multiLine = true},
        {.name = "按钮1", .kind = K::Button, .parent = kPreviewPanel, .text = "粘贴要预览的标题"},
        {.name = "按钮2", .kind = K::Button, .parent = kPreviewPanel, .text = "粘贴要预览的内容"},
        {.name = "按钮4", .kind = K::Button, .parent = kPreviewPanel, .text = "复制结果标题"},
        {.name = "按钮3", .kind = K::Button, .parent = kPreviewPanel, .text = "复制结果内容"},
        {.name = "进度条", .kind = K::ProgressBar, .visible = false},
        {.name = "透明标签", .kind = K::Label, .visible = false},

        // Bottom row.
        {.name = "标签17", .kind = K::Label, .text = "繁简体转换："},
        {.name = "组合框转换繁简体",
         .kind = K::ComboBox,
         .items = items({"不转换", "繁到简", "简到繁"})},
        {.name = "标签20", .kind = K::Label, .text = "输入编码："},
        {.name = "组合框输入编码", .kind = K::ComboBox, .items = items(kEncodings)},
        {.name = "标签21", .kind = K::Label, .text = "输出编码："},
        {.name = "组合框输出编码", .kind = K::ComboBox, .items = items(kEncodings)},
        {.name = "标签4", .kind = K::Label, .text = "保存扩展名："},
        {.name = "编辑框新文件扩展名", .kind = K::EditBox},
        {.name = "编辑框过滤", .kind = K::EditBox, .text = "*.*"},
        {.name = "按钮批量处理", .kind = K::Button, .text = "批量处理(文件)"},
        {.name = "按钮批量处理文件夹", .kind = K::Button, .text = "   批量处理(文件夹)"},
        {.name = "按钮批量处理路径列表", .kind = K::Button, .text = "批量处理(路径列表)"},
        {.name = "按钮预览", .kind = K::Button, .text = "预览"},
        {.name = "链接保存配置", .kind = K::Link, .text = "保存配置"},
        {.name = "图片保存配置", .kind = K::Picture},
        {.name = "链接疑点说明", .kind = K::Link, .text = "疑点说明"},
        {.name = "图片疑点说明", .kind = K::Picture},
        {.name = "链接文章打乱替换器", .kind = K::Link, .text = "打乱替换"},
        {.name = "图片框文章打乱替换器", .kind = K::Picture},
        {.name = "链接随机文本生成器", .kind = K::Link, .text = "生成随机内容"},
        {.name = "图片框随机文本生成器", .kind = K::Picture},
        {.name = "链序列文本生成器", .kind = K::Link, .text = "序列"},
        {.name = "链接关键词遍历组合", .kind = K::Link, .text = "关键词遍历组合"},
        {.name = "图片框关键词遍历组合", .kind = K::Picture},
        {.name = "链接关键词合并", .kind = K::Link, .text = "合并"},
        {.name = "链接锚文本合成器", .kind = K::Link, .text = "锚文本合成"},
        {.name = "图片框锚文本合成器", .kind = K::Picture},
    };
}

}  // namespace

const ControlTable& mainWindowTable() {
    static const ControlTable table = buildTable();
    return table;
}

}  // namespace lct
