// BrowsInf: version strings of executables, read from their version
// resource for the first language of its translation table.
#pragma once

#include <string>

namespace tarvo {

// The string value `infoType` ("ProductVersion", "FileVersion") of the
// file's version resource, up to its first zero character; empty when the
// file, the resource, the translation table or the value is missing. Logs
// every step.
std::string GetFileInfo(const std::string& fileName, const std::string& infoType);

}  // namespace tarvo
