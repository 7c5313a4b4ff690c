// Checks: the repair against script errors in Internet Explorer, which
// registers two of its system libraries again through their own
// registration entry points.
#pragma once

#include <string>

namespace tarvo {

// Registers "actxprxy.dll" and then "shdocvw.dll" from the system directory.
void SolveScriptErrorIE();

// Calls DllRegisterServer of the library at the full path `fileName` and
// logs the outcome. An error raised by the library's own code passes on,
// after the library has been released.
void RegisterActiveXLibrary(const std::string& fileName);

}  // namespace tarvo
