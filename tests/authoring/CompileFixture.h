// SPDX-License-Identifier: MIT
#pragma once

#include "LibraryCompiler.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace qurimo::test {

// Compiles authoring files in a folder of its own and keeps what came of the last one.
class CompileFixture : public testing::Test {
protected:
    // Compiles bytes as the authoring file; returns the run-time error number, 0 if none.
    int compileWith(const std::string& bytes, const AuthoringOptions& options) {
        writeFile(input, bytes);
        try {
            compiled = CompileLibrary(input, output, given, options);
        } catch (const RuntimeError& error) {
            lastError = error.what();
            errorLine = error.line();
            return error.number();
        }
        return 0;
    }

    TempDir dir;
    std::string input = dir.file("范句.txt");
    std::string output = dir.file("111.dat");
    SlotTable given;
    CompiledLibrary compiled;
    std::string lastError;
    long errorLine = 0;
};

} // namespace qurimo::test
