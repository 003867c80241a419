#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// The shortest decimal that reads back as the same 32-bit float ("859.93", "0.0852").
std::string JsonNumber(float value);
// The same for a 64-bit number: a stored amount keeps every cent ("1234567.88").
std::string JsonNumber(double value);

// A JSON string literal with the escapes JSON requires.
std::string JsonString(std::string_view text);

}  // namespace quotaplan
