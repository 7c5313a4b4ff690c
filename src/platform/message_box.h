// The product's only way of talking to the user.
#pragma once

#include <string>

namespace tarvo {

// The caption of every ordinary box: the executable's file name without
// directory, cut at its first ".", all but the first character in lower case
// (TARVO32.EXE gives "Tarvo32").
std::string ApplicationTitle(const std::string& moduleFileName);

// A modal box with the text, no icon and one OK button; returns once closed.
void ShowMessage(const std::string& text);

}  // namespace tarvo
