#pragma once

#include <string>

namespace calvorin::cli
{

// ASCII letters in lower case; other bytes (UTF-8 included) as they are.
std::string ToLower(std::string text);

// The text without leading and trailing spaces and tabs.
std::string Trim(const std::string& text);

} // namespace calvorin::cli
