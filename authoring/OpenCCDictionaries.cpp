// SPDX-License-Identifier: MIT
// The module qurimo-opencc.so: reads OpenCC's t2s configuration and hands its dictionaries
// over as plain data.
#include "OpenCCDictionaries.h"

#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <opencc/Config.hpp>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MaxMatchSegmentation.hpp>
#include <sstream>

namespace {

using qurimo::T2sDictionaries;

// t2s.json names its dictionaries by file name, which OpenCC looks for in the working
// directory first: a TSPhrases.ocd2 there would be read instead of OpenCC's own. Each name
// becomes a path in OpenCC's data folder.
std::string withDataPaths(std::string json) {
    const std::string folder = QURIMO_OPENCC_DATA "/";
    for (std::size_t at = json.find("\"file\""); at != std::string::npos;
         at = json.find("\"file\"", at + 1)) {
        const std::size_t quote = json.find_first_not_of(" \t\r\n:", at + 6);
        if (quote != std::string::npos && json[quote] == '"' && json[quote + 1] != '/') {
            json.insert(quote + 1, folder);
        }
    }
    return json;
}

// A dictionary, or a group's members in order, as indices into the dictionaries read so
// far; a dictionary used twice is read once.
void add(const opencc::DictPtr& dict, std::map<const opencc::Dict*, std::size_t>& read,
         T2sDictionaries& out, std::vector<std::size_t>& order) {
    if (const auto group = std::dynamic_pointer_cast<opencc::DictGroup>(dict)) {
        for (const opencc::DictPtr& member : group->GetDicts()) {
            add(member, read, out, order);
        }
        return;
    }
    auto found = read.find(dict.get());
    if (found == read.end()) {
        std::vector<std::pair<std::string, std::string>> entries;
        for (const auto& entry : *dict->GetLexicon()) {
            entries.emplace_back(entry->Key(), entry->GetDefault());
        }
        out.dictionaries.push_back(std::move(entries));
        found = read.emplace(dict.get(), out.dictionaries.size() - 1).first;
    }
    order.push_back(found->second);
}

void read(T2sDictionaries& out) {
    std::ifstream file(QURIMO_OPENCC_DATA "/t2s.json");
    std::ostringstream json;
    json << file.rdbuf();
    if (!file) {
        out.error = "无法读取 " QURIMO_OPENCC_DATA "/t2s.json";
        return;
    }
    const opencc::ConverterPtr converter =
        opencc::Config().NewFromString(withDataPaths(json.str()), QURIMO_OPENCC_DATA);
    const auto segmentation =
        std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(converter->GetSegmentation());
    if (!segmentation) {
        out.error = "OpenCC 的 t2s 配置不按最长匹配切分文本";
        return;
    }
    std::map<const opencc::Dict*, std::size_t> readDicts;
    add(segmentation->GetDict(), readDicts, out, out.segmentation);
    for (const opencc::ConversionPtr& conversion :
         converter->GetConversionChain()->GetConversions()) {
        out.conversions.emplace_back();
        add(conversion->GetDict(), readDicts, out, out.conversions.back());
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) void qurimo_read_t2s(T2sDictionaries& out) {
    try {
        read(out);
    } catch (const opencc::Exception& error) { // not a std::exception
        out.error = error.what();
    } catch (const std::bad_alloc&) {
        out.error = "内存不足";
    } catch (const std::exception& error) {
        out.error = error.what();
    }
}
