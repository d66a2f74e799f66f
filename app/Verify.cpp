// SPDX-License-Identifier: MIT
// qurimo-lib verify: whether a library file is whole, and where it is not.
#include "LibraryVerify.h"
#include "ToolCommand.h"

namespace qurimo::tool {

namespace {

std::string verdict(const std::string& name, const LibraryReport& report) {
    constexpr std::size_t Shown = 10;
    if (report.problems.empty() && report.records == 0) {
        return name + ": 空的库文件 (0 字节)，窗口把它读作没有句子的库\n";
    }
    if (report.problems.empty()) {
        return name + ": 库文件完整，" + std::to_string(SlotTable::SlotCount) + " 条记录中 " +
               std::to_string(report.filledSlots) + " 条有句子\n";
    }
    std::string text = name + ": 库文件不完整\n";
    for (std::size_t i = 0; i < report.problems.size() && i < Shown; ++i) {
        text += "  " + report.problems[i] + "\n";
    }
    if (report.problems.size() > Shown) {
        text += "  还有 " + std::to_string(report.problems.size() - Shown) + " 个问题未列出\n";
    }
    return text;
}

} // namespace

int verify(const Arguments& args, Console& console) {
    const LibraryReport report = verifyLibraryFile(args.operands[0]);
    std::string text = verdict(console.shown(args.operands[0]), report);
    for (const std::string& note : report.notes) {
        text += "  注意: " + note + "\n";
    }
    if (!console.write(text)) {
        return ExitError;
    }
    return report.problems.empty() ? ExitOk : ExitError;
}

} // namespace qurimo::tool
