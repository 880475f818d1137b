// Every control name written in the program's code exists in its window's
// control table. The test reads the sources (LCT_SOURCE_DIR), takes every
// string literal whose prefix announces a control kind (kindFromName) and looks
// it up in the tables of the window that the file belongs to. It also holds
// each window to writing each of its names once, in its names header.
//
// Comments do not count. The settings mapping of the main window
// (settings/main_window_settings.cpp) sits below app/ and spells out the names
// it stores; it is checked like the main window's own files, but may repeat
// them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window_table.h"
#include "form/form.h"
#include "form/text_dialog.h"
#include "tools/anchor_composer.h"
#include "tools/keyword_combiner.h"
#include "tools/keyword_merger.h"
#include "tools/random_text.h"
#include "tools/sequence_text.h"

namespace lct {
namespace {

// ---- String literals of a C++ source -------------------------------------

struct Literal {
    std::string text;  ///< between the quotes, escapes as written
    int line = 0;      ///< 1-based line of the opening quote
};

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A small lexer: enough of C++ to tell string literals from comments, char
// literals and digit separators (0x5eed'11575). Adjacent literals are joined,
// as the compiler joins them.
class LiteralScanner {
  public:
    explicit LiteralScanner(std::string_view source) : s_(source) {}

    std::vector<Literal> scan() {
        while (i_ < s_.size())
            step();
        return std::move(literals_);
    }

  private:
    void step() {
        const char c = s_[i_];
        if (c == '\n') {
            ++line_;
            ++i_;
        } else if (s_.substr(i_, 2) == "//") {
            skipUntil("\n", false);
        } else if (s_.substr(i_, 2) == "/*") {
            i_ += 2;
            skipUntil("*/", true);
        } else if (c == '"') {
            quoted('"');
        } else if (c == '\'') {
            quoted('\'');
        } else if (isDigit(c)) {
            number();
        } else if (isIdentifierChar(c)) {
            identifier();
        } else {
            if (c != ' ' && c != '\t' && c != '\r') joinNext_ = false;
            ++i_;
        }
    }

    // Skips to `end`, counting lines; past it when `consume`.
    void skipUntil(std::string_view end, bool consume) {
        const std::size_t at = s_.find(end, i_);
        const std::size_t stop = at == std::string_view::npos ? s_.size() : at;
        line_ += static_cast<int>(std::count(s_.begin() + static_cast<std::ptrdiff_t>(i_),
                                             s_.begin() + static_cast<std::ptrdiff_t>(stop), '\n'));
        i_ = stop;
        if (consume && at != std::string_view::npos) i_ += end.size();
    }

    // A pp-number, so that a digit separator is not taken for a char literal.
    void number() {
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if ((c == '+' || c == '-') && std::string_view("eEpP").find(s_[i_ - 1]) != npos) {
                ++i_;
            } else if (isIdentifierChar(c) || c == '.' ||
                       (c == '\'' && i_ + 1 < s_.size() && isIdentifierChar(s_[i_ + 1]))) {
                ++i_;
            } else {
                break;
            }
        }
        joinNext_ = false;
    }

    void identifier() {
        const std::size_t start = i_;
        while (i_ < s_.size() && isIdentifierChar(s_[i_]))
            ++i_;
        const std::string_view word = s_.substr(start, i_ - start);
        const bool prefix = word == "L" || word == "u" || word == "U" || word == "u8";
        const bool rawPrefix =
            word == "R" || word == "LR" || word == "uR" || word == "UR" || word == "u8R";
        if (i_ < s_.size() && s_[i_] == '"' && rawPrefix) {
            raw();
        } else if (i_ < s_.size() && (s_[i_] == '"' || s_[i_] == '\'') && prefix) {
            quoted(s_[i_]);
        } else {
            joinNext_ = false;
        }
    }

    void quoted(char quote) {
        const int line = line_;
        std::string text;
        ++i_;
        while (i_ < s_.size() && s_[i_] != quote && s_[i_] != '\n') {
            if (s_[i_] == '\\' && i_ + 1 < s_.size()) text += s_[i_++];
            text += s_[i_++];
        }
        ++i_;
        if (quote == '"') {
            add(std::move(text), line);
        } else {
            joinNext_ = false;
        }
    }

    void raw() {
        const int line = line_;
        const std::size_t open = s_.find('(', i_);
        const std::string close = ")" + std::string(s_.substr(i_ + 1, open - i_ - 1)) + "\"";
        const std::size_t end = s_.find(close, open);
        const std::size_t stop = end == std::string_view::npos ? s_.size() : end;
        std::string text(s_.substr(open + 1, stop - open - 1));
        line_ += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        i_ = end == std::string_view::npos ? s_.size() : end + close.size();
        add(std::move(text), line);
    }

    void add(std::string text, int line) {
        if (joinNext_ && !literals_.empty()) {
            literals_.back().text += text;
        } else {
            literals_.push_back({std::move(text), line});
        }
        joinNext_ = true;
    }

    static constexpr std::size_t npos = std::string_view::npos;
    std::string_view s_;
    std::size_t i_ = 0;
    int line_ = 1;
    bool joinNext_ = false;  // the last token was a string literal
    std::vector<Literal> literals_;
};

std::vector<Literal> stringLiterals(std::string_view source) {
    return LiteralScanner(source).scan();
}

// ---- Windows and the files that speak for them -----------------------------

struct Window {
    std::string_view title;
    const ControlTable& table;
    /// Paths (relative to the source folder) whose files belong to the window.
    std::vector<std::string_view> files;
};

const std::vector<Window>& windows() {
    static const std::vector<Window> list = {
        {"main window",
         mainWindowTable(),
         {"app/", "cli/", "settings/main_window_settings.", "bench/pipeline_bench"}},
        {"text dialog", textDialogTable(), {"form/text_dialog", "form/qt_text_dialog"}},
        {"random text generator", randomTextTable(), {"tools/random_text"}},
        {"sequence text generator", sequenceTextTable(), {"tools/sequence_text"}},
        {"keyword combiner", keywordCombinerTable(), {"tools/keyword_combiner"}},
        {"keyword merger", keywordMergerTable(), {"tools/keyword_merger"}},
        {"anchor text composer", anchorComposerTable(), {"tools/anchor_composer"}},
    };
    return list;
}

// Files that may repeat their window's names: they sit below the window's
// layer and cannot see its names header.
constexpr std::string_view kSpelledOut[] = {"settings/main_window_settings."};

// Literals that begin like a control name but are none, each with its reason.
struct Allowed {
    std::string_view file;
    std::string_view literal;  ///< empty: every literal of the file
    std::string_view reason;
};
constexpr Allowed kAllowed[] = {
    {"form/form.cpp", {}, "the prefix table that defines what a control name is"},
};

bool startsWithAny(std::string_view path, const std::vector<std::string_view>& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view p) { return path.starts_with(p); });
}

const Window* windowOf(std::string_view path) {
    for (const Window& w : windows()) {
        if (startsWithAny(path, w.files)) return &w;
    }
    return nullptr;
}

bool hasName(const Window& window, std::string_view name) {
    return std::any_of(window.table.begin(), window.table.end(),
                       [&](const ControlRow& row) { return row.name == name; });
}

bool allowed(std::string_view path, std::string_view literal) {
    return std::any_of(std::begin(kAllowed), std::end(kAllowed), [&](const Allowed& a) {
        return path == a.file && (a.literal.empty() || a.literal == literal);
    });
}

struct NameUse {
    std::string file;
    int line = 0;
    std::string name;
};

// The control names that `source` (the file at `path`) writes as literals.
std::vector<NameUse> nameUses(std::string_view path, std::string_view source) {
    std::vector<NameUse> uses;
    for (const Literal& literal : stringLiterals(source)) {
        if (kindFromName(literal.text) == ControlKind::Unknown) continue;
        if (allowed(path, literal.text)) continue;
        uses.push_back({std::string(path), literal.line, literal.text});
    }
    return uses;
}

// One line per name of `uses` that its window (any window, for a file that
// belongs to none) does not have.
std::vector<std::string> unknownNames(const std::vector<NameUse>& uses) {
    std::vector<std::string> problems;
    for (const NameUse& use : uses) {
        const Window* window = windowOf(use.file);
        const bool known = window
                               ? hasName(*window, use.name)
                               : std::any_of(windows().begin(), windows().end(),
                                             [&](const Window& w) { return hasName(w, use.name); });
        if (known) continue;
        problems.push_back(use.file + ":" + std::to_string(use.line) + ": \"" + use.name +
                           "\" is no control of the " +
                           std::string(window ? window->title : "windows"));
    }
    return problems;
}

// ---- The program's sources ------------------------------------------------

constexpr std::string_view kSourceFolders[] = {"platform", "regex", "form", "engine", "files",
                                               "settings", "tools", "app",  "cli",    "bench"};

struct SourceFile {
    std::string path;  ///< relative to the source folder, with "/"
    std::string text;
};

std::vector<SourceFile> programSources() {
    namespace fs = std::filesystem;
    const fs::path root(LCT_SOURCE_DIR);
    std::vector<SourceFile> files;
    for (std::string_view folder : kSourceFolders) {
        const fs::path dir = root / folder;
        if (!fs::is_directory(dir)) {
            ADD_FAILURE() << "missing source folder " << dir;
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            files.push_back({fs::relative(entry.path(), root).generic_string(),
                             {std::istreambuf_iterator<char>(in), {}}});
        }
    }
    std::sort(files.begin(), files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
    return files;
}

std::vector<NameUse> programNameUses() {
    std::vector<NameUse> uses;
    for (const SourceFile& file : programSources()) {
        std::vector<NameUse> more = nameUses(file.path, file.text);
        uses.insert(uses.end(), more.begin(), more.end());
    }
    return uses;
}

// ---- Tests ------------------------------------------------------------------

TEST(StringLiterals, CommentsCharsAndDigitSeparatorsAreNoLiterals) {
    const std::string_view source =
        "a(\"一\"); // \"二\"\n"
        "/* \"三\"\n \"四\" */ b('\"', 0x5eed'11575, '\\'');\n"
        "c(\"五\" \"六\", u8\"七\", R\"x(八\"\n九)x\");\n"
        "d(\"\\\"十\");";
    const std::vector<Literal> literals = stringLiterals(source);
    ASSERT_EQ(literals.size(), 5u);
    EXPECT_EQ(literals[0].text, "一");
    EXPECT_EQ(literals[0].line, 1);
    EXPECT_EQ(literals[1].text, "五六");
    EXPECT_EQ(literals[1].line, 4);
    EXPECT_EQ(literals[2].text, "七");
    EXPECT_EQ(literals[3].text, "八\"\n九");
    EXPECT_EQ(literals[4].text, "\\\"十");
    EXPECT_EQ(literals[4].line, 6);
}

TEST(ControlNames, ATypoInAWindowsFileIsCaught) {
    const std::string_view source =
        "// \"编辑框关键词\" in a comment is no use of a name\n"
        "textOf(form, \"编辑框关键词列表\");\n"
        "textOf(form, \"编辑框关键词列\");\n"
        "tickedOf(form, \"选择框\" \"避免单词\");\n"
        "message(\"请先输入关键词列表！\");\n";
    const std::vector<std::string> problems = unknownNames(nameUses("app/sample.cpp", source));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "app/sample.cpp:3: \"编辑框关键词列\" is no control of the main window");
}

TEST(ControlNames, ANameOfAnotherWindowIsCaught) {
    // 编辑框结果 belongs to three tools, but not to the main window or the
    // anchor text composer.
    const std::string_view source = "textOf(form, \"编辑框结果\");\n";
    EXPECT_EQ(unknownNames(nameUses("app/sample.cpp", source)).size(), 1u);
    EXPECT_EQ(unknownNames(nameUses("tools/anchor_composer.cpp", source)).size(), 1u);
    EXPECT_TRUE(unknownNames(nameUses("tools/keyword_merger.cpp", source)).empty());
    EXPECT_TRUE(unknownNames(nameUses("engine/sample.cpp", source)).empty());
    EXPECT_EQ(unknownNames(nameUses("engine/sample.cpp", "f(\"编辑框没有这个\");")).size(), 1u);
}

TEST(ControlNames, EveryNameInTheProgramIsInItsWindowsTable) {
    const std::vector<NameUse> uses = programNameUses();
    // The names headers alone hold over two hundred names: fewer means the
    // scan missed the sources.
    EXPECT_GT(uses.size(), 200u);
    for (const std::string& problem : unknownNames(uses))
        ADD_FAILURE() << problem;
}

TEST(ControlNames, EachWindowWritesEachOfItsNamesOnce) {
    std::map<std::pair<const Window*, std::string>, std::vector<std::string>> places;
    for (const NameUse& use : programNameUses()) {
        const Window* window = windowOf(use.file);
        if (!window) continue;
        if (std::any_of(std::begin(kSpelledOut), std::end(kSpelledOut),
                        [&](std::string_view p) { return use.file.starts_with(p); }))
            continue;
        places[{window, use.name}].push_back(use.file + ":" + std::to_string(use.line));
    }
    for (const Window& window : windows()) {
        for (const ControlRow& row : window.table) {
            // A name without a kind prefix (the text dialog's 外形框) cannot be
            // told from other text; its constant is all there is.
            if (kindFromName(row.name) == ControlKind::Unknown) continue;
            const auto found = places.find({&window, std::string(row.name)});
            const std::size_t count = found == places.end() ? 0 : found->second.size();
            std::string where;
            if (found != places.end()) {
                for (const std::string& place : found->second)
                    where += " " + place;
            }
            EXPECT_EQ(count, 1u) << window.title << ": \"" << row.name << "\" written at" << where;
        }
    }
}

}  // namespace
}  // namespace lct
