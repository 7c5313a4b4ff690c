// What the log can tell about a file of the start page that could not be
// read or written.
#pragma once

#include <string>

#include "platform/exceptions.h"

namespace tarvo {

// Logs the error as a problem, then what it finds at `path`: the file's date
// and attributes when it exists, otherwise whether its folder exists and its
// drive's type, size and free space. Then tells the user and ends the run;
// the closing report follows. Only looks: changes nothing on disk.
[[noreturn]] void ExceptionLog(const Exception& error, const std::string& path);

}  // namespace tarvo
