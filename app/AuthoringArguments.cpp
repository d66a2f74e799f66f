// SPDX-License-Identifier: MIT
#include "AuthoringArguments.h"

#include "AuthoringFile.h"

namespace qurimo::tool {

namespace {

AuthoringEncoding encodingOf(const Arguments& args) {
    if (args.has("--utf8")) {
        return AuthoringEncoding::Utf8;
    }
    return args.has("--gbk") ? AuthoringEncoding::Codepage936 : AuthoringEncoding::Detect;
}

// "为V1" in UTF-8 reads as code page 936 "涓篤1" nearly as well: where the detection was that
// close, its reader learns which reading was taken and how to force the other.
void noteCloseCall(const Console& console, const std::string& input, const AuthoringCheck& check) {
    if (!check.closeCall) {
        return;
    }
    const bool utf8 = check.encoding == AuthoringEncoding::Utf8;
    // Chinese text spaces a Latin word off: "按 UTF-8 读取", "按代码页 936 (GBK) 读取".
    const auto named = [](AuthoringEncoding encoding) {
        const std::string name = encodingName(encoding);
        return static_cast<unsigned char>(name.front()) < 0x80 ? " " + name + " " : name + " ";
    };
    console.report("注意: 按" + named(check.encoding) + "读取了 " + inputName(input) + "；若是" +
                   named(utf8 ? AuthoringEncoding::Codepage936 : AuthoringEncoding::Utf8) +
                   "文件，请加 " + (utf8 ? "--gbk" : "--utf8"));
}

} // namespace

AuthoringOptions authoringOptions(const Arguments& args) {
    return {encodingOf(args), args.has("--tsv") ? AuthoringFormat::Tsv : AuthoringFormat::Lines,
            args.has("--simplified"), Audience::CommandLine};
}

void noteReading(const Console& console, const std::string& input, const AuthoringCheck& check) {
    noteCloseCall(console, input, check);
    if (check.swappedPairs) {
        console.report(swappedPairsNote(input));
    }
}

} // namespace qurimo::tool
