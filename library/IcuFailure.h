// SPDX-License-Identifier: MIT
#pragma once

#include "RuntimeError.h"

#include <unicode/utypes.h>

namespace qurimo {

// Run-time error 5 for an ICU call that failed although its data ships with ICU (a converter
// that will not open, a conversion that fails for want of memory): what says in Chinese what
// the call was to do, "打开代码页 936 转换器"; ICU's own name of the error follows.
RuntimeError icuFailure(const char* what, UErrorCode error);

} // namespace qurimo
