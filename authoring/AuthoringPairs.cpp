// SPDX-License-Identifier: MIT
#include "AuthoringPairs.h"

#include "HanScript.h"
#include "RuntimeError.h"
#include "TsvFile.h"

#include <algorithm>

namespace qurimo {

namespace {

enum class Order { Either, EnglishFirst, ChineseFirst };

bool isBlank(const std::u16string& text) {
    return text.find_first_not_of(u' ') == std::u16string::npos;
}

// A pair says which text comes first only when one holds Chinese and the other something
// else: an empty translation decides nothing.
Order orderOf(const PairText& first, const PairText& second) {
    const bool firstChinese = holdsHan(first.text);
    if (firstChinese == holdsHan(second.text) || isBlank(first.text) || isBlank(second.text)) {
        return Order::Either;
    }
    return firstChinese ? Order::ChineseFirst : Order::EnglishFirst;
}

const char* firstSide(Order order) {
    return order == Order::ChineseFirst ? "中文在前" : "英文在前";
}

RuntimeError mixedOrders(PairLayout layout, const std::string& path, const PairText& here,
                         Order order, const PairText& agreed) {
    if (layout == PairLayout::Columns) {
        const char* column = order == Order::ChineseFirst ? "第一" : "第二";
        const char* other = order == Order::ChineseFirst ? "第二" : "第一";
        return RuntimeError(ErrorNumber::InvalidCall, path, here.line,
                            std::string("这一行的中文在") + column + "列，而第 " +
                                std::to_string(agreed.line) + " 行的中文在" + other +
                                "列：文件中每一行都要按同一顺序，英文在前或中文在前");
    }
    // Alternating lines change order where a line is missing or one too many: between the
    // last pair still in the old order and this one.
    return RuntimeError(
        ErrorNumber::InvalidCall, path, here.line,
        std::string("从这一行起的一对句子是") + firstSide(order) + "，而第 " +
            std::to_string(agreed.line) + " 行起的一对是" +
            firstSide(order == Order::ChineseFirst ? Order::EnglishFirst : Order::ChineseFirst) +
            "：在这两对之间可能少了一行译文，或多了一行");
}

} // namespace

bool putEnglishFirst(std::vector<PairText>& texts, PairLayout layout, const std::string& path) {
    const PairText* agreed = nullptr; // the latest pair in the order of the file
    Order order = Order::Either;
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
        const Order pair = orderOf(texts[i], texts[i + 1]);
        if (pair == Order::Either) {
            continue;
        }
        if (order != Order::Either && pair != order) {
            throw mixedOrders(layout, path, texts[i], pair, *agreed);
        }
        agreed = &texts[i];
        order = pair;
    }
    if (order != Order::ChineseFirst) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
        std::swap(texts[i], texts[i + 1]);
    }
    return true;
}

AuthoringPairs pairsOf(AuthoringText& text, const std::string& name) {
    if (text.format == AuthoringFormat::Tsv) {
        return parseTsv(text.lines, name);
    }
    AuthoringPairs pairs;
    pairs.texts.reserve(text.lines.size());
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        pairs.texts.push_back({std::move(text.lines[i]), static_cast<long>(i) + 1, 0});
    }
    pairs.swapped = putEnglishFirst(pairs.texts, PairLayout::Lines, name);
    return pairs;
}

} // namespace qurimo
