// Splitting Windows paths the way the product names its files: a path's
// directory part ends at its last "\" or ":".
#pragma once

#include <string>

namespace tarvo {

// Everything up to and including the last "\" or ":" (empty when neither).
std::string ExtractFilePath(const std::string& path);
// Everything after the last "\" or ":".
std::string ExtractFileName(const std::string& path);

}  // namespace tarvo
