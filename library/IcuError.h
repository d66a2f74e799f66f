// SPDX-License-Identifier: MIT
#pragma once

#include "RuntimeError.h"

#include <unicode/utypes.h>

namespace qurimo {

// Run-time error 5 for an ICU call that failed: task says, in Chinese, what ICU could not do
// ("按代码页 936 转换文本"); ICU's own name of the error follows, and what to do.
RuntimeError icuFailure(const char* task, UErrorCode error);

// Stops what was being done with run-time error 5 when ICU reports a failure: task says, in
// Chinese, what ICU could not do ("按代码页 936 转换文本"). Every ICU failure is reported so, in
// the window and in qurimo-lib alike; ICU's warnings are no failures.
void requireIcu(UErrorCode error, const char* task);

} // namespace qurimo
