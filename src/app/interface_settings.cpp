#include "app/interface_settings.h"

#include "platform/message_box.h"
#include "platform/registry.h"

namespace tarvo {

namespace {

const char* DefaultSetting(const std::string& name) {
  if (name == "MuziekAan" || name == "MuziekNummer") return "1";
  if (name == "MuziekVolume") return "7";
  return nullptr;
}

}  // namespace

void ReadInterfaceSetting(const std::string& name, std::string& value) {
  try {
    RegistryAccessor registry(HkeyCurrentUser);
    // For reading only: a user who may not change the key still has settings.
    // A missing key leaves none open, and then no value exists.
    registry.OpenKeyReadOnly("\\Software\\Lumora\\Interface");
    if (registry.ValueExists(name)) {
      value = std::to_string(registry.ReadInteger(name));
    } else if (const char* fallback = DefaultSetting(name)) {
      value = fallback;
    }
  } catch (const std::exception& e) {
    ShowMessage(std::string("Exception: ") + e.what());
  }
}

}  // namespace tarvo
