#include "app/interface_settings.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/windows_model.h"

namespace tarvo {
namespace {

const char* const Key = "Software\\Lumora\\Interface";
const char* const Kept = "<!--PLACEHOLDER-->";

std::function<void(WindowsModel&)> Dword(const char* name, std::uint32_t value) {
  return [=](WindowsModel& w) { w.SetRegistryDword(HkeyCurrentUser, Key, name, value); };
}

std::function<void(WindowsModel&)> Stored(const char* name, std::uint32_t type,
                                          std::vector<std::uint8_t> data) {
  return [=](WindowsModel& w) { w.SetRegistryValue(HkeyCurrentUser, Key, name, type, data); };
}

// No log exists here: the routine must write none.
TEST(ReadInterfaceSetting, GivesTheStoredNumberOrTheDefault) {
  struct Case {
    const char* what;
    std::function<void(WindowsModel&)> arrange;
    const char* name;
    std::string value;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"no key", [](WindowsModel&) {}, "MuziekAan", "1", {}},
      {"no key", [](WindowsModel&) {}, "MuziekNummer", "1", {}},
      {"no key", [](WindowsModel&) {}, "MuziekVolume", "7", {}},
      {"no key, a name without default", [](WindowsModel&) {}, "Muziek", Kept, {}},
      {"key without the value", Dword("MuziekAan", 0), "MuziekVolume", "7", {}},
      {"DWORD 3", Dword("MuziekVolume", 3), "MuziekVolume", "3", {}},
      {"DWORD 0", Dword("MuziekAan", 0), "MuziekAan", "0", {}},
      {"DWORD 4294967295", Dword("MuziekNummer", 4294967295u), "MuziekNummer", "-1", {}},
      {"DWORD of three bytes",
       Stored("MuziekVolume", RegDword, {5, 1, 0}),
       "MuziekVolume",
       "261",
       {}},
      {"name in another case", Dword("muziekvolume", 4), "MuziekVolume", "4", {}},
      {"one-digit REG_SZ",
       Stored("MuziekNummer", RegSz, {'5', 0}),
       "MuziekNummer",
       Kept,
       {"Exception: Invalid data type for 'MuziekNummer'"}},
      {"more than 4 bytes",
       Stored("MuziekVolume", RegDword, {3, 0, 0, 0, 0}),
       "MuziekVolume",
       Kept,
       {"Exception: Failed to get data for 'MuziekVolume'"}},
      {"REG_SZ of 4 characters, 5 bytes",
       Stored("MuziekVolume", RegSz, {'1', '2', '3', '4', 0}),
       "MuziekVolume",
       Kept,
       {"Exception: Failed to get data for 'MuziekVolume'"}},
      {"key the user may not change",
       [](WindowsModel& w) {
         w.SetRegistryDword(HkeyCurrentUser, Key, "MuziekVolume", 2);
         w.DenyRegistryChanges(HkeyCurrentUser, Key);
       },
       "MuziekVolume",
       "2",
       {}},
      {"settings of the machine, not the user",
       [](WindowsModel& w) { w.SetRegistryDword(HkeyClassesRoot, Key, "MuziekVolume", 2); },
       "MuziekVolume",
       "7",
       {}},
  };
  for (const Case& c : cases) {
    WindowsModel windows;
    InstallApi(windows);
    c.arrange(windows);
    std::string value = Kept;
    ReadInterfaceSetting(c.name, value);
    EXPECT_EQ(value, c.value) << c.what << " " << c.name;
    std::vector<std::string> boxes;
    for (const ShownBox& box : windows.Boxes()) boxes.push_back(box.text);
    EXPECT_EQ(boxes, c.boxes) << c.what;
    EXPECT_EQ(windows.OpenHandleCount(), 0u) << c.what;
  }
}

TEST(ReadInterfaceSetting, NeverCreatesTheKey) {
  WindowsModel windows;
  InstallApi(windows);
  std::string value;
  ReadInterfaceSetting("MuziekAan", value);
  EXPECT_FALSE(windows.RegistryKeyExists(HkeyCurrentUser, Key));
  EXPECT_FALSE(windows.RegistryKeyExists(HkeyCurrentUser, "Software\\Lumora"));
}

}  // namespace
}  // namespace tarvo
