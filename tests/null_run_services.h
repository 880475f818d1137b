#pragma once
// Run services that touch nothing: every question gets an empty answer and
// every step succeeds. A test's fake derives from it and overrides only what
// it looks at, so that a new service is written down once here.
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_driver.h"

namespace lct::test {

class NullRunServices : public RunServices {
  public:
    bool isFile(std::string_view) override { return true; }
    ArticleFile read(std::string_view, TextEncoding, const KeepAlive&) override { return {}; }
    bool write(std::string_view, std::string_view, const ResultFormat&, std::string&) override {
        return true;
    }
    bool createResultFolder(std::string_view, bool&, std::string&) override { return true; }
    bool isFolder(std::string_view) override { return true; }
    std::string fileIdentity(std::string_view, bool) override { return {}; }
    std::string resultFolder(std::string_view) override { return {}; }
    std::string titleOf(std::string_view) override { return {}; }
    std::string resultPath(std::string_view, std::string_view, std::string_view, std::string_view,
                           int) override {
        return {};
    }
    std::string resultPathAt(std::string_view, std::string_view, std::string_view, int) override {
        return {};
    }
    std::string elapsedText(std::int64_t) override { return {}; }
    bool openFolder(std::string_view) override { return true; }
    bool writeReport(std::string_view, const std::vector<InputOutcome>&, std::string&) override {
        return true;
    }
};

}  // namespace lct::test
