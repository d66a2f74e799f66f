// SPDX-License-Identifier: MIT
#include "RuntimeError.h"

#include <new>

namespace qurimo {

namespace {

// What a number means, for instance "下标越界".
std::string describe(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::InvalidCall:
        return "无效的过程调用或参数";
    case ErrorNumber::Overflow:
        return "溢出";
    case ErrorNumber::OutOfMemory:
        return "内存不足";
    case ErrorNumber::SubscriptOutOfRange:
        return "下标越界";
    case ErrorNumber::InternalError:
        return "内部错误";
    case ErrorNumber::FileNotFound:
        return "文件未找到";
    case ErrorNumber::InputPastEndOfFile:
        return "输入超出文件尾";
    case ErrorNumber::PathFileAccessError:
        return "路径/文件访问错误";
    case ErrorNumber::PathNotFound:
        return "路径未找到";
    }
    return "应用程序定义的错误或对象定义的错误";
}

} // namespace

std::string composeReport(ErrorNumber number, const std::string& path, long line,
                          const std::string& detail) {
    std::string text =
        "运行时错误 " + std::to_string(static_cast<int>(number)) + "：" + describe(number);
    if (!path.empty()) {
        text += "\n文件: " + path;
    }
    if (line > 0) {
        text += "\n行: " + std::to_string(line);
    }
    if (!detail.empty()) {
        text += "\n" + detail;
    }
    return text;
}

RuntimeError::RuntimeError(ErrorNumber number, std::string path, long line, std::string detail)
    : std::runtime_error(composeReport(number, path, line, detail)), number_(number),
      path_(std::move(path)), line_(line), detail_(std::move(detail)) {}

RuntimeError errorInFlight() {
    // Both operations change a file only by replacing it whole, after everything is read.
    constexpr const char* NothingChanged = "操作没有完成，文件也没有改动。";
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        // The failed allocation is given back by now.
        return RuntimeError(ErrorNumber::OutOfMemory, {}, 0,
                            std::string(NothingChanged) + "请关闭一些程序后再试。");
    } catch (...) {
        return RuntimeError(ErrorNumber::InternalError, {}, 0, NothingChanged);
    }
}

} // namespace qurimo
