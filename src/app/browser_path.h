// The address a browser needs for a file on the disc.
#pragma once

#include <string>

namespace tarvo {

// Turns a Windows path into a local file address in place: every "\" becomes
// "/", every ":" becomes "|", and "file:///" goes in front. An empty path
// stays empty. Nothing else changes: no case, no escaping.
void ConvertToBrowserDir(std::string& path);

}  // namespace tarvo
