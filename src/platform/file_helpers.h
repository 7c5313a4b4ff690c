// Whole files, as the product reads and writes them.
#pragma once

#include <string>

#include "platform/win32_api.h"

namespace tarvo {

// True when FindFirstFile finds `path` and it is no folder.
bool FileExists(const std::string& path);

// The whole content of the existing file `path`, opened so that others may
// read it but not write it meanwhile. Raises EFOpenError when it cannot be
// opened, EReadError when it cannot be read whole.
std::string ReadWholeFile(const std::string& path);

// Creates `path` anew (replacing a file of that name) holding `content`.
// Raises EFCreateError when the file cannot be created, EWriteError when not
// all of `content` reaches it.
void WriteWholeFile(const std::string& path, const std::string& content);

// Writes all of `content` to the open `file`; raises EWriteError when not
// all of it reaches the file.
void WriteToFile(Handle file, const std::string& content);

}  // namespace tarvo
