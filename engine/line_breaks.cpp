#include "engine/line_breaks.h"

#include <algorithm>
#include <cstring>

namespace lct {

// Both walk from one LF to the next with memchr and copy the runs between
// them whole.

std::string lfToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    std::size_t copied = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', lf + 1)) {
        out.append(text.substr(copied, lf - copied));
        if (lf == 0 || text[lf - 1] != '\r') out.push_back('\r');
        copied = lf;
    }
    out.append(text.substr(copied));
    return out;
}

bool lfToCrLfInPlace(std::string& text) {
    const auto lineFeeds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (lineFeeds == 0) return true;
    if (text.capacity() - text.size() < lineFeeds) return false;
    std::size_t end = text.size();
    text.resize(end + lineFeeds);
    // From the back, each line moves by the CRs still to be put before it.
    char* const data = text.data();
    for (std::size_t shift = lineFeeds; shift > 0; --shift) {
        const auto* lf = static_cast<const char*>(memrchr(data, '\n', end));
        const auto at = static_cast<std::size_t>(lf - data);
        std::memmove(data + at + shift, data + at, end - at);
        data[at + shift - 1] = '\r';
        end = at;
    }
    return true;
}

std::string crLfToLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', lf + 1)) {
        if (lf > copied && text[lf - 1] == '\r') {
            out.append(text.substr(copied, lf - 1 - copied));
            copied = lf;
        }
    }
    out.append(text.substr(copied));
    return out;
}

}  // namespace lct
