// SPDX-License-Identifier: MIT
// Builds authoring files from real lines of text and reads each one as the compiler does,
// counting the files read in the wrong encoding. Run by detection.sh, which gathers the lines.
//
//   detection_benchmark OUT_DIR CHINESE ENGLISH RUSSIAN GERMAN
//
// The Chinese lines, and the words in them (the pieces between spaces and punctuation, as in
// a word list), that code page 936 can encode become one-, three- and twenty-pair files,
// as alternating lines and as tab-separated pairs, each saved in code page 936 and in UTF-8:
// every line whose code page 936 bytes are valid UTF-8 too (the hard ones) in files of such
// lines, and an even sample of the others. English lines come from the English file; one pair
// in eight has a Russian phrase after its English, one in eight a German line with umlauts
// (saved as plain English in code page 936, which has no ä). A UTF-8 file read as code page
// 936 is allowed when its Chinese lines hold fewer than three common characters (level 1 of
// GB 2312), and is counted apart. Counts the files whose reader is told the encoding detected
// in a close call, and how close the calls were, to weigh DetectedEncoding::CloseLead by.
// Prints the figures and every misread file.

#include "AuthoringFile.h"
#include "Codepage936.h"
#include "ControlCharacters.h"
#include "EncodingDetection.h"
#include "HanScript.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <vector>

using namespace qurimo;

namespace {

std::vector<std::u16string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "detection_benchmark: cannot read " << path << "\n";
        std::exit(2);
    }
    std::vector<std::u16string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(fromUtf8(line));
    }
    return lines;
}

template <class Test> bool any(std::u16string_view text, Test test) {
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, length, c);
        if (test(c)) {
            return true;
        }
    }
    return false;
}

bool isAscii(std::u16string_view text) {
    return !any(text, [](UChar32 c) { return c < 0x20 || c > 0x7E; });
}

bool hasControl(std::u16string_view text) {
    return any(text, [](UChar32 c) { return isControlCharacter(static_cast<char32_t>(c)); });
}

// The code page 936 bytes of text, or nothing when some character is not in the code page.
std::optional<std::string> asCodepage936(std::u16string_view text) {
    std::string bytes = Codepage936::instance().fromUnicode(text);
    if (Codepage936::instance().toUnicode(bytes) != text) {
        return std::nullopt;
    }
    return bytes;
}

// The common characters of a Chinese line: level 1 of GB 2312, lead bytes B0 to D7.
std::size_t commonCharacters(const std::string& codepage936) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < codepage936.size(); ++i) {
        const auto lead = static_cast<unsigned char>(codepage936[i]);
        if (lead >= 0x81 && i + 1 < codepage936.size()) {
            const auto trail = static_cast<unsigned char>(codepage936[++i]);
            count += lead >= 0xB0 && lead <= 0xD7 && trail >= 0xA1 ? 1 : 0;
        }
    }
    return count;
}

std::u16string firstWords(const std::u16string& line, int words) {
    std::size_t end = 0;
    for (int w = 0; w < words && end != std::u16string::npos; ++w) {
        end = line.find(u' ', end + 1);
    }
    return line.substr(0, end);
}

// The pieces of a line between spaces, TABs and Chinese or ASCII punctuation: the short
// entries of a word list.
std::vector<std::u16string> wordsOf(const std::u16string& line) {
    static const std::u16string breaks = u" \t\u3000，。、；：！？（）,.;:!?()";
    std::vector<std::u16string> words;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find_first_of(breaks, start), line.size());
        if (end > start) {
            words.push_back(line.substr(start, end - start));
        }
        start = end + 1;
    }
    return words;
}

struct Pools {
    std::vector<std::u16string> english;
    std::vector<std::u16string> russian;
    std::vector<std::u16string> german;
    std::size_t next = 0;

    // The English line of the next pair, and the one saved in code page 936.
    std::pair<std::u16string, std::u16string> englishLine() {
        const std::size_t p = next++;
        const std::u16string& plain = english[(p * 7) % english.size()];
        if (p % 8 == 3) {
            const std::u16string mixed = plain + u" " + firstWords(russian[p % russian.size()], 4);
            return {mixed, mixed};
        }
        if (p % 8 == 6) {
            const std::u16string& line = german[p % german.size()];
            return {line, asCodepage936(line) ? line : plain};
        }
        return {plain, plain};
    }
};

struct Tally {
    std::size_t files = 0;
    std::size_t codepage936AsUtf8 = 0;
    std::size_t utf8AsCodepage936Allowed = 0;
    std::size_t utf8AsCodepage936 = 0;
    std::size_t noted = 0;        // told of a close call
    std::size_t misreadNoted = 0; // of the misread ones
};

// How many files were read right and wrong with the reading chosen leading by less than each
// of these.
constexpr std::array<double, 8> Leads{0.25, 0.5, 0.6, 0.75, 1.0, 1.5, 2.0, 4.01};

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: detection_benchmark OUT_DIR CHINESE ENGLISH RUSSIAN GERMAN\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];

    std::vector<std::u16string> hard;   // code page 936 bytes that are valid UTF-8 too
    std::vector<std::u16string> others; // the rest
    std::set<std::u16string> seen;
    const auto take = [&](const std::u16string& line) {
        if (line.size() > 300 || hasControl(line) || !holdsHan(line) || !seen.insert(line).second) {
            return;
        }
        if (const std::optional<std::string> bytes = asCodepage936(line)) {
            (isUtf8(*bytes) ? hard : others).push_back(line);
        }
    };
    for (const std::u16string& line : readLines(argv[2])) {
        take(line);
        for (const std::u16string& word : wordsOf(line)) {
            take(word);
        }
    }
    Pools pools;
    for (const std::u16string& line : readLines(argv[3])) {
        if (line.size() >= 10 && line.size() <= 120 && isAscii(line)) {
            pools.english.push_back(line);
        }
    }
    for (const std::u16string& line : readLines(argv[4])) {
        if (any(line, [](UChar32 c) { return c >= 0x400 && c <= 0x4FF; }) && !hasControl(line)) {
            pools.russian.push_back(line);
        }
    }
    for (const std::u16string& line : readLines(argv[5])) {
        if (line.size() <= 120 && !hasControl(line) &&
            any(line, [](UChar32 c) { return c >= 0xC0 && c <= 0xFF; })) {
            pools.german.push_back(line);
        }
    }
    if (pools.english.empty() || pools.russian.empty() || pools.german.empty() || hard.empty()) {
        std::cerr << "detection_benchmark: a source has no usable line\n";
        return 2;
    }

    // The Chinese lines of the files of a size: all the hard lines, then `sampled` evenly
    // spread runs of the others.
    using Group = std::vector<const std::u16string*>;
    constexpr std::array<std::pair<std::size_t, std::size_t>, 3> Sizes{
        {{1, 1500}, {3, 700}, {20, 200}}}; // pairs, sampled
    const auto groupsOf = [&](std::size_t pairs, std::size_t sampled) {
        std::vector<Group> groups;
        for (std::size_t i = 0; i < hard.size(); i += pairs) {
            Group& group = groups.emplace_back();
            for (std::size_t k = i; k < std::min(hard.size(), i + pairs); ++k) {
                group.push_back(&hard[k]);
            }
        }
        const std::size_t stride = std::max<std::size_t>(1, others.size() / sampled);
        for (std::size_t n = 0, start = 0; n < sampled && start + pairs <= others.size();
             ++n, start += stride) {
            Group& group = groups.emplace_back();
            for (std::size_t k = start; k < start + pairs; ++k) {
                group.push_back(&others[k]);
            }
        }
        return groups;
    };

    struct Misread {
        std::string file;
        std::string what;
    };
    std::vector<Misread> misread;
    std::vector<std::pair<std::string, Tally>> rows;
    std::chrono::steady_clock::duration spent{};
    std::array<std::array<std::size_t, Leads.size()>, 2> underLead{}; // [misread][lead]
    for (const bool tsv : {false, true}) {
        for (const auto& [pairs, sampled] : Sizes) {
            Tally tally;
            const std::string form =
                std::string(tsv ? "tsv" : "lines") + "/" + std::to_string(pairs);
            std::filesystem::create_directories(out / form);
            std::size_t number = 0;
            for (const Group& group : groupsOf(pairs, sampled)) {
                std::string utf8;
                std::string codepage936;
                std::size_t common = 0;
                for (const std::u16string* chinese : group) {
                    const auto [english, englishSaved] = pools.englishLine();
                    const std::string end = tsv ? "\t" : "\n";
                    const std::string chinese936 = *asCodepage936(*chinese);
                    utf8 += toUtf8(english) + end + toUtf8(*chinese) + "\n";
                    codepage936 += *asCodepage936(englishSaved) + end + chinese936 + "\n";
                    common += commonCharacters(chinese936);
                }
                char name[32];
                std::snprintf(name, sizeof name, "%05zu", ++number);
                for (const bool isUtf8File : {false, true}) {
                    const std::string& bytes = isUtf8File ? utf8 : codepage936;
                    const std::string file =
                        form + "/" + name + (isUtf8File ? ".utf8.txt" : ".gbk.txt");
                    std::ofstream(out / file, std::ios::binary) << bytes;
                    const auto start = std::chrono::steady_clock::now();
                    const AuthoringFormat format =
                        tsv ? AuthoringFormat::Tsv : AuthoringFormat::Lines;
                    const AuthoringText text = decodeAuthoring(bytes, AuthoringEncoding::Detect,
                                                               format, file, Audience::CommandLine);
                    const AuthoringEncoding read = text.encoding;
                    spent += std::chrono::steady_clock::now() - start;
                    ++tally.files;
                    const bool wrong = read != (isUtf8File ? AuthoringEncoding::Utf8
                                                           : AuthoringEncoding::Codepage936);
                    tally.noted += text.closeCall ? 1 : 0;
                    tally.misreadNoted += text.closeCall && wrong ? 1 : 0;
                    const std::vector<std::string_view> lines = splitLines(bytes);
                    if (const std::optional<double> lead = detectEncoding(lines, format).lead) {
                        for (std::size_t k = 0; k < Leads.size(); ++k) {
                            underLead[wrong ? 1 : 0][k] += *lead < Leads[k] ? 1 : 0;
                        }
                    }
                    const std::string first = toUtf8(*group.front());
                    if (!isUtf8File && read != AuthoringEncoding::Codepage936) {
                        ++tally.codepage936AsUtf8;
                        misread.push_back(
                            {file, "code page 936 read as " + encodingName(read) + ": " + first});
                    } else if (isUtf8File && read != AuthoringEncoding::Utf8) {
                        ++(common < 3 ? tally.utf8AsCodepage936Allowed : tally.utf8AsCodepage936);
                        misread.push_back({file, std::string("UTF-8 read as code page 936 (") +
                                                     std::to_string(common) + " common, " +
                                                     (common < 3 ? "allowed" : "NOT allowed") +
                                                     "): " + first});
                    }
                }
            }
            rows.emplace_back(form, tally);
        }
    }

    Tally total;
    std::printf("Chinese lines: %zu (%zu of them valid UTF-8 in code page 936); English %zu, "
                "Russian %zu, German %zu\n\n",
                hard.size() + others.size(), hard.size(), pools.english.size(),
                pools.russian.size(), pools.german.size());
    std::printf("%-9s %7s %12s %22s %22s %7s %14s\n", "form", "files", "936 as UTF-8",
                "UTF-8 as 936 allowed", "UTF-8 as 936 not", "noted", "misread noted");
    const auto printRow = [](const std::string& form, const Tally& t) {
        std::printf("%-9s %7zu %12zu %22zu %22zu %7zu %14zu\n", form.c_str(), t.files,
                    t.codepage936AsUtf8, t.utf8AsCodepage936Allowed, t.utf8AsCodepage936, t.noted,
                    t.misreadNoted);
    };
    for (const auto& [form, t] : rows) {
        printRow(form, t);
        total.files += t.files;
        total.codepage936AsUtf8 += t.codepage936AsUtf8;
        total.utf8AsCodepage936Allowed += t.utf8AsCodepage936Allowed;
        total.utf8AsCodepage936 += t.utf8AsCodepage936;
        total.noted += t.noted;
        total.misreadNoted += t.misreadNoted;
    }
    printRow("all", total);
    std::printf("\nFiles whose reading led the other by less than (a close call at %.2f):\n",
                DetectedEncoding::CloseLead);
    std::printf("%-8s %10s %10s\n", "lead", "read right", "misread");
    for (std::size_t k = 0; k < Leads.size(); ++k) {
        std::printf("%-8.2f %10zu %10zu\n", Leads[k], underLead[0][k], underLead[1][k]);
    }
    std::printf("\nDetection time: %.1f ms in all, %.1f us a file\n",
                std::chrono::duration<double, std::milli>(spent).count(),
                std::chrono::duration<double, std::micro>(spent).count() /
                    static_cast<double>(std::max<std::size_t>(total.files, 1)));
    std::printf("\nMisread files in %s (%zu):\n", out.c_str(), misread.size());
    for (const Misread& m : misread) {
        std::printf("  %s  %s\n", m.file.c_str(), m.what.c_str());
    }
    return 0;
}
