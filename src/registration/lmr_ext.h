// LmrExt: hands the disc's run files (".lmr", MIME type
// "application/runfile") to the runner program on the disc, for Windows and
// for Netscape Navigator.
#pragma once

#include <string>

namespace tarvo {

// `startDir` + "intface\runner\runner.exe", its ASCII letters lower-cased.
std::string RunnerPath(const std::string& startDir);

// Registers ".lmr", the file type "Lumora.runfile" with its open command
// and the MIME type, under HKEY_CLASSES_ROOT; removes the beta disc's
// leftover. Logs failures; never raises.
void RegisterRunFileType(const std::string& startDir);
// Lets Internet Explorer open run files without asking first.
void SetRunFileEditFlags();

// Navigator 3: suffix, viewer, type number and trust entries.
void RegisterNetscape3(const std::string& startDir);
// Navigator 4: the trust entry only.
void RegisterNetscape4(const std::string& startDir);

}  // namespace tarvo
