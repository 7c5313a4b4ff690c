#include "platform/registry.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/expect_error.h"
#include "support/model_test.h"

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

class RegistryAccessorTest : public ModelTest {
 protected:
  Bytes TextAt(const std::string& key, const std::string& name) {
    const auto value = windows.RegistryValueOf(HkeyCurrentUser, key, name);
    return value ? value->data : Bytes{};
  }
};

void ExpectRegistryError(const std::function<void()>& action, const std::string& message) {
  ExpectError(action, "ERegistryException", message);
}

TEST_F(RegistryAccessorTest, PathsGoFromTheOpenKeyUnlessTheyBeginAtTheRoot) {
  struct Case {
    std::vector<std::string> opens;  // in order, each must succeed
    std::string keyWritten;
  };
  const Case cases[] = {
      {{"Software\\Lumora"}, "Software\\Lumora"},
      {{"Software\\Lumora", "Interface"}, "Software\\Lumora\\Interface"},
      {{"Software\\Lumora", "\\Other"}, "Other"},
      {{"\\Software\\Netscape"}, "Software\\Netscape"},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    {
      RegistryAccessor registry(HkeyCurrentUser);
      for (const std::string& path : c.opens) EXPECT_TRUE(registry.OpenKey(path)) << path;
      registry.WriteString("hier", "ja");
    }
    EXPECT_TRUE(fresh.RegistryValueOf(HkeyCurrentUser, c.keyWritten, "hier")) << c.keyWritten;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.keyWritten;
  }
}

TEST_F(RegistryAccessorTest, AFailedOpenKeepsThePreviousKey) {
  windows.DenyRegistryKey(HkeyCurrentUser, "A\\B");
  RegistryAccessor registry(HkeyCurrentUser);
  ASSERT_TRUE(registry.OpenKey("A"));
  EXPECT_FALSE(registry.OpenKey("B"));
  registry.WriteString("", "in A");
  EXPECT_EQ(TextAt("A", ""), (Bytes{'i', 'n', ' ', 'A', 0}));
  EXPECT_FALSE(windows.RegistryKeyExists(HkeyCurrentUser, "A\\B"));
}

TEST_F(RegistryAccessorTest, WritesWithoutAKeyNameTheValue) {
  windows.DenyRegistryKey(HkeyClassesRoot, ".lmr");
  RegistryAccessor registry(HkeyClassesRoot);
  EXPECT_FALSE(registry.OpenKey(".lmr"));
  EXPECT_FALSE(registry.HasOpenKey());
  ExpectRegistryError([&] { registry.WriteString("", "Lumora.runfile"); },
                      "Failed to set data for ''");
  ExpectRegistryError(
      [&] {
        registry.WriteBinary("EditFlags", {0, 0, 1, 0});
      },
      "Failed to set data for 'EditFlags'");
}

TEST_F(RegistryAccessorTest, WritesTextWithItsZeroAndBinaryAsGiven) {
  RegistryAccessor registry(HkeyClassesRoot);
  ASSERT_TRUE(registry.OpenKey("Lumora.runfile"));
  registry.WriteString("", "&S");
  registry.WriteBinary("EditFlags", {0, 0, 1, 0});
  const auto text = windows.RegistryValueOf(HkeyClassesRoot, "Lumora.runfile", "");
  const auto flags = windows.RegistryValueOf(HkeyClassesRoot, "Lumora.runfile", "EditFlags");
  ASSERT_TRUE(text && flags);
  EXPECT_EQ(text->type, RegSz);
  EXPECT_EQ(text->data, (Bytes{'&', 'S', 0}));
  EXPECT_EQ(flags->type, RegBinary);
  EXPECT_EQ(flags->data, (Bytes{0, 0, 1, 0}));
}

TEST_F(RegistryAccessorTest, DeleteTellsWhetherAValueWentAway) {
  windows.SetRegistryText(HkeyClassesRoot, "Lumora.runfile\\Shell", "", "&Starten");
  RegistryAccessor registry(HkeyClassesRoot);
  ASSERT_TRUE(registry.OpenKey("Lumora.runfile\\Shell"));
  EXPECT_TRUE(registry.DeleteValue(""));
  EXPECT_FALSE(registry.DeleteValue(""));
  EXPECT_FALSE(registry.ValueExists(""));
}

TEST_F(RegistryAccessorTest, ReadsIntegersOfTypeDwordOnly) {
  const std::string key = "Software\\Lumora\\Interface";
  windows.SetRegistryDword(HkeyCurrentUser, key, "Drie", 3);
  windows.SetRegistryDword(HkeyCurrentUser, key, "Nul", 0);
  windows.SetRegistryDword(HkeyCurrentUser, key, "Alles", 4294967295u);
  windows.SetRegistryValue(HkeyCurrentUser, key, "Kort", RegDword, {5, 1});
  windows.SetRegistryText(HkeyCurrentUser, key, "Tekst", "1");
  windows.SetRegistryValue(HkeyCurrentUser, key, "Lang", RegDword, {1, 0, 0, 0, 0});
  struct Case {
    const char* name;
    std::int32_t value;
    const char* error;
  };
  const Case cases[] = {
      {"Drie", 3, nullptr},
      {"Nul", 0, nullptr},
      {"Alles", -1, nullptr},
      {"Kort", 0x105, nullptr},
      {"Tekst", 0, "Invalid data type for 'Tekst'"},
      {"Lang", 0, "Failed to get data for 'Lang'"},
      {"Weg", 0, "Failed to get data for 'Weg'"},
  };
  RegistryAccessor registry(HkeyCurrentUser);
  ASSERT_TRUE(registry.OpenKeyReadOnly(key));
  for (const Case& c : cases) {
    EXPECT_EQ(registry.ValueExists(c.name), std::string(c.name) != "Weg") << c.name;
    if (c.error) {
      ExpectRegistryError([&] { registry.ReadInteger(c.name); }, c.error);
    } else {
      EXPECT_EQ(registry.ReadInteger(c.name), c.value) << c.name;
    }
  }
}

TEST_F(RegistryAccessorTest, OpeningForReadingNeitherCreatesNorAllowsWrites) {
  RegistryAccessor registry(HkeyCurrentUser);
  EXPECT_FALSE(registry.OpenKeyReadOnly("Software\\Lumora\\Interface"));
  EXPECT_FALSE(windows.RegistryKeyExists(HkeyCurrentUser, "Software\\Lumora\\Interface"));
  windows.SetRegistryDword(HkeyCurrentUser, "Software\\Lumora\\Interface", "MuziekAan", 1);
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Lumora\\Interface"));
  ExpectRegistryError([&] { registry.WriteString("MuziekAan", "0"); },
                      "Failed to set data for 'MuziekAan'");
  EXPECT_FALSE(registry.DeleteValue("MuziekAan"));
}

}  // namespace
}  // namespace tarvo
