// SPDX-License-Identifier: MIT
#include "IcuError.h"

#include "RuntimeError.h"

#include <string>

namespace qurimo {

RuntimeError icuFailure(const char* task, UErrorCode error) {
    return RuntimeError(ErrorNumber::InvalidCall, {}, 0,
                        std::string("ICU 无法") + task + "（" + u_errorName(error) +
                            "）。请确认 ICU 库（Debian 的 libicu 软件包）完好，然后再试。");
}

void requireIcu(UErrorCode error, const char* task) {
    if (U_FAILURE(error)) {
        throw icuFailure(task, error);
    }
}

} // namespace qurimo
