// BrowsInf: the browser catalogue, "intface\browsers.ini" on the disc with
// its copy "BROWSERS.INI" in the Windows directory, each carrying a version.
// The newer copy serves the run; a newer disc refreshes the Windows copy.
#pragma once

#include <functional>
#include <string>

#include "platform/catalogue_reader.h"

namespace tarvo {

// The catalogue's sections; values are read through CatalogueReader.
inline constexpr const char* InformationSection = "Informatie";         // "Versie"
inline constexpr const char* RecognitionSection = "Browserherkenning";  // "EXEnaam" + n, ...
inline constexpr const char* PreferenceSection = "Browservolgorde";     // "Voorkeur"

// The copy chosen for this run; empty until the first successful choice.
extern std::string BrowserIniFile;

// The full path of the catalogue copy to read. The first call chooses and
// logs its choice, copying the disc's catalogue over an older Windows copy;
// later calls give the same path without reading or logging, unless no
// path could be chosen.
std::string GetBrowserIniFileName();

// Copies the whole of the existing file `source` to `dest`. Where a new
// file can be made beside `dest`, the copy is written there first and
// replaces `dest` only once complete, so a failure keeps the old `dest`;
// elsewhere `dest` itself is written. A read-only `dest` is never replaced.
// A failure is logged as a problem ("Exception: " and the message, which
// names `dest` when it cannot be written) and goes no further.
void CopyFileContents(const std::string& source, const std::string& dest);

// Calls `visit` with the number n and the "EXEnaam" + n value of each entry
// of the recognition list, from 1 up to the first entry whose name is
// missing or empty, and returns that entry's number.
int ForEachRecognitionEntry(const CatalogueReader& catalogue,
                            const std::function<void(int, const std::string&)>& visit);

// BrowsInf's closing step: forgets the chosen copy.
void BrowsInfClose();

}  // namespace tarvo
