#include "app/Console.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(Console, TypedIntegerOrNothing)
{
    std::istringstream typed("30\nabc\n-5 trailing\n\n7\r\n99999999999\n");
    EXPECT_EQ(readTypedInteger(typed), 30);
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // not a number
    EXPECT_EQ(readTypedInteger(typed), -5);           // the rest of the line is dropped
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // empty line
    EXPECT_EQ(readTypedInteger(typed), 7);            // Windows line end
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // out of range
    EXPECT_EQ(readTypedInteger(typed), std::nullopt); // input closed
}

TEST(Console, OverLongLineIsCutAndTheNextPromptStillReads)
{
    std::istringstream typed(std::string(300, 'x') + "\npath1\n");
    EXPECT_EQ(readTypedLine(typed), std::string(127, 'x'));
    EXPECT_EQ(readTypedLine(typed), "path1");
    EXPECT_EQ(readTypedLine(typed), ""); // closed input: empty, not stuck
    EXPECT_EQ(readTypedLine(typed), "");
}
