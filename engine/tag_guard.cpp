#include "engine/tag_guard.h"

#include "engine/chars.h"
#include "form/pending_messages.h"

namespace lct {
namespace {

constexpr std::size_t kTagsPerBreath = 256;

struct TagSpan {
    std::size_t begin;
    std::size_t end;  // one past the ">"
};

// Calls `onTag` for every tag of `text` in text order and returns nothing;
// `onText` receives the runs between them.
template <typename OnText, typename OnTag>
void scanTags(std::string_view text, OnText onText, OnTag onTag) {
    std::size_t copied = 0;
    std::size_t open = std::string_view::npos;  // the last "<" not yet closed
    std::size_t tags = 0;
    // Between the stops: plain ASCII without "<" and ">", and double-byte
    // characters, which hold neither.
    const auto nextStop = [&text](std::size_t from) {
        for (;;) {
            const std::size_t ascii = skipPlainAscii(text, from, '<', '>');
            const std::size_t pairs = skipDoubleBytes(text, ascii);
            if (pairs == ascii) return ascii;
            from = pairs;
        }
    };
    for (std::size_t i = nextStop(0); i < text.size(); i = nextStop(i + charSize(text, i))) {
        if (text[i] == '<') {
            open = i;
        } else if (text[i] == '>' && open != std::string_view::npos) {
            onText(text.substr(copied, open - copied));
            onTag(TagSpan{open, i + 1});
            copied = i + 1;
            open = std::string_view::npos;
            if (++tags % kTagsPerBreath == 0) processPendingMessages();
        }
    }
    onText(text.substr(copied));
}

}  // namespace

const std::string& TagGuard::defaultPlaceholder() {
    static const std::string placeholder(10, '\xFF');
    return placeholder;
}

const std::string& TagGuard::shortPlaceholder() {
    static const std::string placeholder(2, '\xFF');
    return placeholder;
}

std::string TagGuard::protect(std::string_view text, std::string_view placeholder, bool save) {
    const std::string_view used = placeholder.empty() ? defaultPlaceholder() : placeholder;
    if (save) {
        placeholder_ = used;
        tagBytes_.clear();
        tagEnds_.clear();
    }
    std::string out;
    out.reserve(text.size());
    scanTags(
        text, [&](std::string_view run) { out.append(run); },
        [&](TagSpan tag) {
            if (save) {
                tagBytes_.append(text.substr(tag.begin, tag.end - tag.begin));
                tagEnds_.push_back(tagBytes_.size());
            }
            out.append(used);
        });
    return out;
}

std::string TagGuard::strip(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    scanTags(
        text, [&](std::string_view run) { out.append(run); }, [](TagSpan) {});
    return out;
}

std::string TagGuard::restore(std::string_view text) const {
    std::string out;
    out.reserve(text.size() + tagBytes_.size());
    std::size_t copied = 0;
    std::size_t tagBegin = 0;
    for (const std::size_t tagEnd : tagEnds_) {
        const std::size_t hit = text.find(placeholder_, copied);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(copied, hit - copied));
        out.append(std::string_view(tagBytes_).substr(tagBegin, tagEnd - tagBegin));
        copied = hit + placeholder_.size();
        tagBegin = tagEnd;
    }
    out.append(text.substr(copied));
    return out;
}

std::string TagGuard::restore(std::string_view text,
                              std::vector<std::pair<std::size_t, std::size_t>>& spans) const {
    std::string out;
    out.reserve(text.size() + tagBytes_.size());
    std::size_t copied = 0;
    std::size_t tagBegin = 0;
    // A position of `text` moves by what the tags before it add.
    std::size_t next = 0;  // the first span end not yet moved (ends, then begins)
    std::size_t nextBegin = 0;
    long long shift = 0;
    const auto moveBefore = [&](std::size_t limit) {
        for (; nextBegin < spans.size() && spans[nextBegin].first <= limit; ++nextBegin)
            spans[nextBegin].first =
                static_cast<std::size_t>(static_cast<long long>(spans[nextBegin].first) + shift);
        for (; next < spans.size() && spans[next].second <= limit; ++next)
            spans[next].second =
                static_cast<std::size_t>(static_cast<long long>(spans[next].second) + shift);
    };
    for (const std::size_t tagEnd : tagEnds_) {
        const std::size_t hit = text.find(placeholder_, copied);
        if (hit == std::string_view::npos) break;
        moveBefore(hit);
        out.append(text.substr(copied, hit - copied));
        out.append(std::string_view(tagBytes_).substr(tagBegin, tagEnd - tagBegin));
        shift +=
            static_cast<long long>(tagEnd - tagBegin) - static_cast<long long>(placeholder_.size());
        copied = hit + placeholder_.size();
        tagBegin = tagEnd;
    }
    moveBefore(text.size());
    out.append(text.substr(copied));
    return out;
}

std::vector<std::string> TagGuard::savedTags() const {
    std::vector<std::string> tags;
    std::size_t begin = 0;
    for (const std::size_t end : tagEnds_) {
        tags.emplace_back(tagBytes_, begin, end - begin);
        begin = end;
    }
    return tags;
}

}  // namespace lct
