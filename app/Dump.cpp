// SPDX-License-Identifier: MIT
// qurimo-lib dump: a library file as an authoring file on standard output.
#include "ControlCharacters.h"
#include "LibraryDump.h"
#include "LibraryVerify.h"
#include "ToolCommand.h"
#include "TsvFile.h"

namespace qurimo::tool {

namespace {

// Names the first problem of a library that is not whole, after what could be written of
// it, as gzip -d does with a cut file.
int reportProblems(const Console& console, const std::string& path, const LibraryReport& report) {
    for (const std::string& note : report.notes) {
        console.report("注意: " + path + ": " + note);
    }
    if (report.problems.empty()) {
        return ExitOk;
    }
    console.report(path + ": 库文件不完整：" + report.problems.front());
    if (report.problems.size() > 1) {
        console.report("还有 " + std::to_string(report.problems.size() - 1) +
                       " 个问题，qurimo-lib verify 会列出它们");
    }
    return ExitError;
}

} // namespace

int dump(const Arguments& args, Console& console) {
    const bool tsv = args.has("--tsv");
    if (tsv && args.has("--gbk")) {
        return console.usageError("dump --tsv 总是输出 UTF-8，不能和 --gbk 一起用");
    }
    const std::string& path = args.operands[0];
    const LibraryReport report = verifyLibraryFile(path);
    // Written a text at a time and escaped as written: a library's control characters take
    // four times their room escaped, and a full library's dump would take hundreds of MB. A
    // terminal takes control characters for commands: it is shown them as visible escapes.
    DumpWriter writer{[&console](std::string_view piece) { console.writePiece(piece); }};
    if (console.terminal()) {
        // TAB and line ends stay for dumpTsv to refuse, as it does in a pipe.
        writer.shown = [tsv](std::u16string_view text) {
            return escapeControls(text, tsv ? u"\t\r\n" : u"");
        };
    }
    if (tsv) {
        dumpTsv(report.decoded, path, writer);
    } else {
        // UTF-8 as a Linux terminal and editor read it; code page 936 for Windows editors.
        DumpLibrary(report.decoded,
                    args.has("--gbk") ? AuthoringEncoding::Codepage936 : AuthoringEncoding::Utf8,
                    writer);
    }
    return console.finish() ? reportProblems(console, path, report) : ExitError;
}

} // namespace qurimo::tool
