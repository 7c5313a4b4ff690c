// BrowsInf: which browser an executable is, in the catalogue's terms.
#pragma once

#include <functional>
#include <string>

#include "platform/catalogue_reader.h"

namespace tarvo {

// The browser code of the last recognition entry of the catalogue whose
// name occurs in the upper-cased path and whose version (if any) begins the
// file's product version: the first three characters of its "EIntern",
// upper-cased. "ONB" when no entry matches. Logs every match.
std::string GetBrowserName(const std::string& fileName);

// The version a browser is recognised by: its "ProductVersion", upper-cased.
// Logs its steps.
std::string BrowserVersion(const std::string& fileName);

// Calls `visit` with the number of every recognition entry, in order, that
// matches a browser at `path` with the product version `version`: its
// "EXEnaam" occurs in the path and its "EVersie" (unless empty) begins the
// version, compared in upper case. The last one visited decides.
void ForEachMatchingEntry(const CatalogueReader& catalogue, const std::string& path,
                          const std::string& version, const std::function<void(int)>& visit);

// The browser code entry `entry` gives: the first three characters of its
// "EIntern", upper-cased.
std::string EntryCode(const CatalogueReader& catalogue, int entry);

}  // namespace tarvo
