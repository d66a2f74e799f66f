// SPDX-License-Identifier: MIT
#include "Form1Layout.h"

#include <stdexcept>
#include <string>

namespace qurimo::layout {

const Control& control(std::string_view name) {
    for (const Control& c : Controls) {
        if (c.name == name) {
            return c;
        }
    }
    throw std::out_of_range("no control " + std::string(name));
}

} // namespace qurimo::layout
