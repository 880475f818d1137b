#include "platform/script_chain.h"

#include <map>
#include <unordered_set>

#include "platform/json_reader.h"

namespace lct {

std::optional<ScriptDictionary> parseScriptDictionary(std::string_view text, std::string& why) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    ScriptDictionary dictionary;
    std::unordered_set<std::string_view> keys;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t lineEnd = text.find('\n');
        std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        ++lineNumber;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0) {
            why = "line " + std::to_string(lineNumber) + " holds no key and tab";
            return std::nullopt;
        }
        const std::string_view key = line.substr(0, tab);
        // The first of the values, which are separated by spaces.
        const std::string_view values = line.substr(tab + 1);
        if (keys.insert(key).second)
            dictionary.entries.emplace_back(key, values.substr(0, values.find(' ')));
    }
    return dictionary;
}

namespace {

// Reads the parts of one configuration, keeping each dictionary file once.
class ChainReader {
  public:
    ChainReader(const ScriptFileSource& files, std::string& why) : files_(files), why_(why) {}

    std::optional<ScriptChain> read(std::string_view configJson) {
        std::string error;
        const std::optional<JsonValue> config = parseJson(configJson, &error);
        if (!config) return failed("the configuration is not JSON: " + error);
        if (config->kind != JsonValue::Kind::Object)
            return failed("the configuration is not an object");
        ScriptChain chain;
        if (const JsonValue* segmentation = config->find("segmentation")) {
            const std::string* type = segmentation->findString("type");
            if (!type || *type != "mmseg") return failed("a segmentation other than mmseg");
            chain.segmentation.emplace();
            if (!levelsOf(segmentation->find("dict"), *chain.segmentation)) return std::nullopt;
        }
        if (const JsonValue* normalization = config->find("normalization")) {
            if (!conversionsOf(*normalization, chain.normalization)) return std::nullopt;
        }
        const JsonValue* conversions = config->find("conversion_chain");
        if (!conversions) return failed("the configuration has no conversion_chain");
        if (!conversionsOf(*conversions, chain.conversions)) return std::nullopt;
        return chain;
    }

  private:
    std::nullopt_t failed(std::string why) {
        why_ = std::move(why);
        return std::nullopt;
    }

    bool fail(std::string why) {
        why_ = std::move(why);
        return false;
    }

    // A chain's elements: {"dict": …} each.
    bool conversionsOf(const JsonValue& list, std::vector<ScriptLevels>& out) {
        if (list.kind != JsonValue::Kind::Array) return fail("a conversion chain is not an array");
        for (const JsonValue& element : list.items) {
            ScriptLevels levels;
            if (!levelsOf(element.find("dict"), levels)) return false;
            out.push_back(std::move(levels));
        }
        return true;
    }

    // The levels of a dictionary or group; a group left without members
    // gives none.
    bool levelsOf(const JsonValue* dict, ScriptLevels& out) {
        if (!dict || dict->kind != JsonValue::Kind::Object) return fail("a dict is missing");
        const std::string* type = dict->findString("type");
        if (!type) return fail("a dict has no type");
        if (*type != "group") {
            ScriptDictionaryPtr leaf = dictionaryOf(*dict, *type);
            if (!leaf) return false;
            out.push_back({std::move(leaf)});
            return true;
        }
        const JsonValue* members = dict->find("dicts");
        if (!members || members->kind != JsonValue::Kind::Array)
            return fail("a group has no dicts");
        const std::string* policy = dict->findString("match_policy");
        const bool unite = policy && *policy == "union";
        if (policy && !unite && *policy != "short_circuit")
            return fail("an unknown match_policy: " + *policy);
        // A union takes its members' longest match: each member must answer
        // from one level.
        std::vector<ScriptDictionaryPtr> united;
        for (const JsonValue& member : members->items) {
            ScriptLevels levels;
            if (!levelsOf(&member, levels)) return false;
            if (unite && levels.size() > 1) return fail("a union holds a group of several levels");
            for (auto& level : levels) {
                if (unite) {
                    united.insert(united.end(), level.begin(), level.end());
                } else {
                    out.push_back(std::move(level));
                }
            }
        }
        if (!united.empty()) out.push_back(std::move(united));
        return true;
    }

    ScriptDictionaryPtr dictionaryOf(const JsonValue& dict, const std::string& type) {
        if (type == "inline") return inlineDictionary(dict);
        const std::string* file = dict.findString("file");
        if (!file) return failedDictionary("a dict has no file");
        std::string name;
        if (type == "text") {
            name = *file;
        } else if (type == "ocd2") {
            name = file->substr(0, file->rfind('.')) + ".txt";
        } else {
            return failedDictionary("an unknown dict type: " + type);
        }
        if (const auto known = loaded_.find(name); known != loaded_.end()) return known->second;
        const std::optional<std::string> text = files_(name);
        if (!text) return failedDictionary("the dictionary " + name + " is missing");
        std::string why;
        std::optional<ScriptDictionary> parsed = parseScriptDictionary(*text, why);
        if (!parsed) return failedDictionary("the dictionary " + name + ": " + why);
        auto dictionary = std::make_shared<const ScriptDictionary>(std::move(*parsed));
        loaded_.emplace(name, dictionary);
        return dictionary;
    }

    ScriptDictionaryPtr inlineDictionary(const JsonValue& dict) {
        const JsonValue* entries = dict.find("entries");
        if (!entries || entries->kind != JsonValue::Kind::Object)
            return failedDictionary("an inline dict has no entries");
        auto dictionary = std::make_shared<ScriptDictionary>();
        for (std::size_t i = 0; i < entries->keys.size(); ++i) {
            const JsonValue& value = entries->items[i];
            if (entries->keys[i].empty() || value.kind != JsonValue::Kind::String ||
                value.text.empty())
                return failedDictionary("an inline dict holds an empty key or value");
            dictionary->entries.emplace_back(entries->keys[i], value.text);
        }
        return dictionary;
    }

    ScriptDictionaryPtr failedDictionary(std::string why) {
        why_ = std::move(why);
        return nullptr;
    }

    const ScriptFileSource& files_;
    std::string& why_;
    std::map<std::string, ScriptDictionaryPtr> loaded_;
};

}  // namespace

std::optional<ScriptChain> readScriptChain(std::string_view configJson,
                                           const ScriptFileSource& files, std::string& why) {
    return ChainReader(files, why).read(configJson);
}

}  // namespace lct
