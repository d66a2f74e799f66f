// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace qurimo {

// The run-time error numbers this program can raise; the window and the tool show each with
// a short description of what it means.
enum class ErrorNumber : int {
    InvalidCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    InternalError = 51,
    FileNotFound = 53,
    InputPastEndOfFile = 62,
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// One run-time error: it unwinds the operation that met it and is caught only at the edge of
// a window handler or of the command line tool. what() is the full report: "运行时错误 75：
// 路径/文件访问错误", then file, line and detail, one item a line.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorNumber number, std::string path = {}, long line = 0,
                          std::string detail = {});

    int number() const { return static_cast<int>(number_); }
    // The file concerned; empty when no file is.
    const std::string& path() const { return path_; }
    // The 1-based line of path; 0 when no line is concerned.
    long line() const { return line_; }
    // What exactly went wrong beyond the description, in Chinese; may be empty.
    const std::string& detail() const { return detail_; }

private:
    ErrorNumber number_;
    std::string path_;
    long line_;
    std::string detail_;
};

// The full report of an error as RuntimeError::what() gives it, for a caller that shows its
// path and detail changed: qurimo-lib escapes them for a terminal.
std::string composeReport(ErrorNumber number, const std::string& path, long line,
                          const std::string& detail);

// The report of the exception in flight, for the edge that catches everything (a window
// handler, the tool's main): a RuntimeError as it is; running out of memory as error 7 and
// any other exception as error 51, whose text is for programmers and is not shown. Call it
// only inside a catch block.
RuntimeError errorInFlight();

} // namespace qurimo
