#include "engine/net/TransferErrorText.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(TransferErrorText, KeepsAtMost199BytesWithoutLineEndsOrBrokenCharacters) {
    EXPECT_EQ(TransferErrorText("Could not resolve host: example"),
              "Could not resolve host: example");
    EXPECT_EQ(TransferErrorText("Timeout was reached\r\n"), "Timeout was reached");
    EXPECT_EQ(TransferErrorText(""), "");
    EXPECT_EQ(TransferErrorText(std::string(300, 'e')), std::string(199, 'e'));
    // A two-byte character that would straddle the cut is left out whole.
    const std::string accented = std::string(198, 'e') + "\xc3\xa9" + "tail";
    EXPECT_EQ(TransferErrorText(accented), std::string(198, 'e'));
}

}  // namespace
}  // namespace tarnwick
