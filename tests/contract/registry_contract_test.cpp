// What the registry calls promise: keys made and opened from a root or from
// an open key, typed values with their exact sizes, and what fails.
#include <cstdint>
#include <string>
#include <vector>

#include "contract/seam_contract.h"

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

class RegistryContract : public SeamContract {
 protected:
  void TearDown() override {
    for (Handle key : keys) windows().RegCloseKey(key);
  }

  Handle Create(Handle parent, const std::string& subKey, std::uint32_t access = KeyAllAccess) {
    Handle key = NoHandle;
    EXPECT_EQ(windows().RegCreateKeyEx(parent, subKey, access, key), RegistrySuccess) << subKey;
    keys.push_back(key);
    return key;
  }

  std::int32_t Set(Handle key, const std::string& name, std::uint32_t type, const Bytes& data) {
    return windows().RegSetValueEx(key, name, type, data.data(),
                                   static_cast<std::uint32_t>(data.size()));
  }

  struct Query {
    std::int32_t result;
    std::uint32_t type;
    std::uint32_t size;
    Bytes data;
  };

  // Asks with a buffer of `capacity` bytes, or for type and size only.
  Query Ask(Handle key, const std::string& name, std::optional<std::uint32_t> capacity) {
    Query query{0, 0xDEAD, capacity.value_or(0), Bytes(capacity.value_or(0))};
    query.result = windows().RegQueryValueEx(key, name, query.type,
                                             capacity ? query.data.data() : nullptr, query.size);
    if (query.result == RegistrySuccess && capacity) query.data.resize(query.size);
    return query;
  }

  std::vector<Handle> keys;
};

TEST_F(RegistryContract, ValuesKeepTheirTypeAndExactSize) {
  const Handle key = Create(HkeyCurrentUser, TestKey() + "\\Nested\\Deeper");
  const Bytes text = {'a', 'b', 'c', 0};
  const Bytes flags = {0, 0, 1, 0};
  const Bytes dword = {3, 0, 0, 0};
  ASSERT_EQ(Set(key, "", RegSz, text), RegistrySuccess);
  ASSERT_EQ(Set(key, "EditFlags", RegBinary, flags), RegistrySuccess);
  ASSERT_EQ(Set(key, "MuziekVolume", RegDword, dword), RegistrySuccess);
  ASSERT_EQ(Set(key, "\xC9\xE9n", RegSz, text), RegistrySuccess);
  struct Case {
    std::string name;
    std::uint32_t type;
    Bytes data;
  };
  const Case cases[] = {
      {"", RegSz, text},
      {"editflags", RegBinary, flags},
      {"MuziekVolume", RegDword, dword},
      {"\xE9\xC9N", RegSz, text},  // accented letters too
  };
  for (const Case& c : cases) {
    const Query sizeOnly = Ask(key, c.name, std::nullopt);
    EXPECT_EQ(sizeOnly.result, RegistrySuccess) << c.name;
    EXPECT_EQ(sizeOnly.type, c.type) << c.name;
    EXPECT_EQ(sizeOnly.size, c.data.size()) << c.name;
    const Query whole = Ask(key, c.name, 16);
    EXPECT_EQ(whole.result, RegistrySuccess) << c.name;
    EXPECT_EQ(whole.data, c.data) << c.name;
  }
  const Query tooSmall = Ask(key, "", 2);
  EXPECT_EQ(tooSmall.result, RegistryMoreData);
  EXPECT_EQ(tooSmall.type, RegSz);
  EXPECT_EQ(tooSmall.size, 4u);
}

TEST_F(RegistryContract, MissingKeysAndValuesAreNotFound) {
  const Handle key = Create(HkeyCurrentUser, TestKey());
  Handle untouched = 0x4242;
  EXPECT_EQ(windows().RegOpenKeyEx(key, "Absent", KeyRead, untouched), RegistryNotFound);
  EXPECT_EQ(
      windows().RegOpenKeyEx(HkeyCurrentUser, TestKey() + "\\Absent", KeyAllAccess, untouched),
      RegistryNotFound);
  EXPECT_EQ(untouched, 0x4242u);
  EXPECT_EQ(Ask(key, "", std::nullopt).result, RegistryNotFound) << "no default value yet";
  EXPECT_EQ(Ask(key, "Absent", 4).result, RegistryNotFound);
  EXPECT_EQ(windows().RegDeleteValue(key, "Absent"), RegistryNotFound);
}

TEST_F(RegistryContract, KeysOpenRelativeToAnOpenKey) {
  const Handle parent = Create(HkeyClassesRoot, TestKey() + ".runfile");
  const Handle command = Create(parent, "Shell\\Open\\Command");
  ASSERT_EQ(Set(command, "", RegSz, {'x', 0}), RegistrySuccess);

  Handle reopened = NoHandle;
  ASSERT_EQ(windows().RegOpenKeyEx(HkeyClassesRoot, TestKey() + ".runfile\\shell\\OPEN\\command",
                                   KeyRead, reopened),
            RegistrySuccess);
  keys.push_back(reopened);
  EXPECT_EQ(Ask(reopened, "", 8).data, (Bytes{'x', 0}));
  Handle shell = NoHandle;
  ASSERT_EQ(windows().RegOpenKeyEx(parent, "Shell", KeyRead, shell), RegistrySuccess);
  keys.push_back(shell);
  EXPECT_EQ(Ask(shell, "", std::nullopt).result, RegistryNotFound) << "written one level too high";
}

TEST_F(RegistryContract, AKeyOpenedForReadingTakesNoChanges) {
  const Handle writable = Create(HkeyCurrentUser, TestKey());
  ASSERT_EQ(Set(writable, "MuziekAan", RegDword, {1, 0, 0, 0}), RegistrySuccess);
  Handle reading = NoHandle;
  ASSERT_EQ(windows().RegOpenKeyEx(HkeyCurrentUser, TestKey(), KeyRead, reading), RegistrySuccess);
  keys.push_back(reading);
  EXPECT_EQ(Set(reading, "MuziekAan", RegDword, {0, 0, 0, 0}), RegistryDenied);
  EXPECT_EQ(windows().RegDeleteValue(reading, "MuziekAan"), RegistryDenied);
  EXPECT_EQ(Ask(reading, "MuziekAan", 4).data, (Bytes{1, 0, 0, 0}));
}

TEST_F(RegistryContract, DeletingAValueLeavesTheKey) {
  const Handle key = Create(HkeyCurrentUser, TestKey());
  ASSERT_EQ(Set(key, "", RegSz, {'&', 'S', 0}), RegistrySuccess);
  EXPECT_EQ(windows().RegDeleteValue(key, ""), RegistrySuccess);
  EXPECT_EQ(Ask(key, "", std::nullopt).result, RegistryNotFound);
  Handle again = NoHandle;
  EXPECT_EQ(windows().RegOpenKeyEx(HkeyCurrentUser, TestKey(), KeyRead, again), RegistrySuccess);
  keys.push_back(again);
}

TEST_F(RegistryContract, WithoutAKeyNothingIsWrittenOrRead) {
  EXPECT_NE(Set(NoHandle, "Extension", RegSz, {'.', 0}), RegistrySuccess);
  EXPECT_NE(Ask(NoHandle, "Extension", std::nullopt).result, RegistrySuccess);
}

}  // namespace
}  // namespace tarvo
