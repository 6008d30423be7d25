#include "app/grid_step.h"

#include <gtest/gtest.h>

namespace plexor::test {
namespace {

// The message for `text`: the typed text in quotes, then why it is refused.
std::string refusal(const char* text, const char* why)
{
    std::string message = "'";
    message += text;
    message += why;
    return message;
}

TEST(GridStep, AcceptsWholeNumbersFromOne)
{
    std::string error;
    EXPECT_EQ(parseGridStep("48", error), 48);
    EXPECT_EQ(parseGridStep(" 7\t", error), 7);
    EXPECT_EQ(parseGridStep("+5", error), 5);
    EXPECT_EQ(parseGridStep("1", error), 1);
    EXPECT_EQ(parseGridStep("2147483647", error), 2147483647);
    EXPECT_TRUE(error.empty());
}

TEST(GridStep, RefusesEverythingElseNamingTheText)
{
    for (const char* text : {"abc", "", " ", "4 8", "48x", "0x10", "+", "+-3", "2147483648", "1e3", "٤"}) {
        std::string error;
        EXPECT_FALSE(parseGridStep(text, error).has_value()) << text;
        EXPECT_EQ(error, refusal(text, "' is not a valid integer value"));
    }
    for (const char* text : {"0", "-1", "-2147483648"}) {
        std::string error;
        EXPECT_FALSE(parseGridStep(text, error).has_value()) << text;
        EXPECT_EQ(error, refusal(text, "' is not a valid grid step: the step must be at least 1"));
    }
}

} // namespace
} // namespace plexor::test
