// Texts of the product (Windows-1252) as JSON strings, for the tools'
// output to scripts.
#pragma once

#include <string>

namespace tarvo {

// The text as a JSON string, quotes included: each character above ASCII
// and each control character as JSON's Unicode escape.
std::string JsonString(const std::string& text);

}  // namespace tarvo
