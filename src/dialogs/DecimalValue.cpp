#include "dialogs/DecimalValue.h"

#include <climits>

namespace tarnwick {

int DecimalValue(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        // Stop growing once past int's range; the digits that follow cannot bring it back.
        if (value <= static_cast<long long>(INT_MAX) + 1) {
            value = value * 10 + (text[pos] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

}  // namespace tarnwick
