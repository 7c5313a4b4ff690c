// Case changes of the product: only the ASCII letters change, so accented
// Windows-1252 letters in paths and catalogue values stay as they are.
#pragma once

#include <string>

namespace tarvo {

std::string AsciiUpperCase(std::string text);
std::string AsciiLowerCase(std::string text);

}  // namespace tarvo
