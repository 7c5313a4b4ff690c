// The user's music settings for the disc's interface. Something else stores
// them under HKEY_CURRENT_USER\Software\Lumora\Interface; this program only
// reads them.
#pragma once

#include <string>

namespace tarvo {

// Sets `value` to the setting `name` as signed decimal text: the stored
// REG_DWORD, or when there is none the default ("1" for MuziekAan and
// MuziekNummer, "7" for MuziekVolume; any other name keeps `value`). A value
// that cannot be read as a number is shown to the user in a box, and `value`
// keeps what it held. Writes nothing to the log.
void ReadInterfaceSetting(const std::string& name, std::string& value);

}  // namespace tarvo
