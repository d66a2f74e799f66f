// SPDX-License-Identifier: MIT
#include "IcuFailure.h"

#include <string>

namespace qurimo {

RuntimeError icuFailure(const char* what, UErrorCode error) {
    return RuntimeError(ErrorNumber::InvalidCall, {}, 0,
                        std::string("ICU 无法") + what + "：" + u_errorName(error));
}

} // namespace qurimo
