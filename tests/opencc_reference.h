#pragma once
// Debian's OpenCC as the reference for the script converter's tables (tests
// and benchmarks only): a configuration loaded by OpenCC converts each run of
// a text as ScriptConverter defines runs, and hands its dictionaries over as a
// chain for the tables, so that both convert with the same data.

#include <opencc/Config.hpp>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MaxMatchSegmentation.hpp>

#include <optional>
#include <string>
#include <string_view>

#include "platform/charset.h"
#include "platform/script_converter.h"
#include "platform/utf8.h"

namespace lct::test {

class OpenccReference {
  public:
    /// `config`: a bare name is looked up in OpenCC's data folder.
    OpenccReference(const std::string& config, ScriptLength length) : length_(length) {
        try {
            opencc::Config loader;
            converter_ = loader.NewFromFile(config);
            chain_.emplace();
            if (const auto segmentation = std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(
                    converter_->GetSegmentation()))
                chain_->segmentation = levelsOf(segmentation->GetDict());
            for (const auto& conversion : converter_->GetConversionChain()->GetConversions())
                chain_->conversions.push_back(levelsOf(conversion->GetDict()));
        } catch (const std::exception& e) {
            error_ = e.what();
            converter_.reset();
            chain_.reset();
        }
    }

    bool ok() const { return converter_ != nullptr; }
    const std::string& error() const { return error_; }
    /// The chain OpenCC loaded, for ScriptConverter.
    const ScriptChain& chain() const { return *chain_; }

    /// `utf8` converted run by run; nullopt when it is not valid UTF-8.
    std::optional<std::string> convert(std::string_view utf8) const {
        std::string out;
        std::size_t runStart = 0;
        for (std::size_t i = 0; i < utf8.size();) {
            const Utf8Char c = readUtf8(utf8, i);
            if (c.size == 0) return std::nullopt;
            if (c.cp == 0 || c.cp >= kRawByteBase) {
                convertRun(utf8.substr(runStart, i - runStart), out);
                out.append(utf8.substr(i, c.size));
                runStart = i + c.size;
            } else if (c.cp == '\n') {
                convertRun(utf8.substr(runStart, i + 1 - runStart), out);
                runStart = i + 1;
            }
            i += c.size;
        }
        convertRun(utf8.substr(runStart), out);
        return out;
    }

  private:
    static ScriptLevels levelsOf(const opencc::DictPtr& dict) {
        ScriptLevels levels;
        if (const auto group = std::dynamic_pointer_cast<opencc::DictGroup>(dict)) {
            for (const opencc::DictPtr& inner : group->GetDicts())
                for (auto& level : levelsOf(inner))
                    levels.push_back(std::move(level));
            return levels;
        }
        auto dictionary = std::make_shared<ScriptDictionary>();
        for (const std::unique_ptr<opencc::DictEntry>& entry : *dict->GetLexicon())
            dictionary->entries.emplace_back(entry->Key(), entry->GetDefault());
        levels.push_back({dictionary});
        return levels;
    }

    void convertRun(std::string_view run, std::string& out) const {
        if (run.empty()) return;
        const std::string whole = converter_->Convert(std::string(run));
        if (length_ == ScriptLength::Free || utf8Length(whole) == utf8Length(run)) {
            out += whole;
            return;
        }
        for (std::size_t i = 0; i < run.size();) {
            const std::size_t n = readUtf8(run, i).size;
            const std::string character(run.substr(i, n));
            const std::string one = converter_->Convert(character);
            out += utf8Length(one) == 1 ? one : character;
            i += n;
        }
    }

    ScriptLength length_;
    opencc::ConverterPtr converter_;
    std::optional<ScriptChain> chain_;
    std::string error_;
};

}  // namespace lct::test
