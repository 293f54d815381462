#pragma once

#include <iosfwd>
#include <optional>
#include <string>

// Answers the author types at the console prompts. Each answer is one whole
// line, so whatever was typed after the answer never leaks into the next
// prompt.

// An integer typed on its own line; nothing when the line does not start with
// one (or the input is closed), so the caller leaves its value unchanged.
std::optional<int> readTypedInteger(std::istream& in);

// A line of at most maxLength characters; a longer line is cut there and the
// rest of it discarded, so the next prompt reads fresh input.
std::string readTypedLine(std::istream& in, std::size_t maxLength = 127);
