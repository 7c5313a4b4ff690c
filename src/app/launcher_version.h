// The check that the running launcher is not older than the disc's own, and
// the disc's volume label for the log.
#pragma once

#include <string>

namespace tarvo {

// Logs both launchers' "FileVersion" (lines 102, 103); when the disc's is
// the newer, tells the user to copy it over this one and ends the run.
void CheckLauncherVersion();

// The "FileVersion" of a launcher's file, empty when it has none; logs its
// steps.
std::string LauncherVersion(const std::string& fileName);

// Below 0, 0 or above 0 as version text `first` is older than, as old as or
// newer than `second`. Texts that are digits separated by "." (blanks at
// either end aside) compare field by field as numbers of any size, a
// missing field counting as 0; any other pair compares byte by byte, the
// empty text being the oldest.
int CompareLauncherVersions(const std::string& first, const std::string& second);

// The label of the drive that holds StartDir, possibly empty, or
// "Opvragen volumelabel mislukt!" when the drive cannot tell it.
std::string GetVolumeLabel();

}  // namespace tarvo
