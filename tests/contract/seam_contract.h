// The fixture of the seam contract: a fresh world per test, its seam
// installed as the product's, and a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/contract_world.h"

namespace tarvo {

inline constexpr const char* Untouched = "untouched";

class SeamContract : public ::testing::Test {
 protected:
  void SetUp() override {
    world = MakeContractWorld(::testing::UnitTest::GetInstance()->current_test_info()->name());
    InstallApi(world->Windows());
    folder = world->Folder();
  }

  Win32Api& windows() { return world->Windows(); }

  // A document of the given extension in the test's folder.
  std::string MakeDocument(const std::string& extension) {
    const std::string document = folder + "\\page" + extension;
    world->MakeFile(document, "<html></html>", FileAttributeArchive);
    return document;
  }

  // A registry key of the test's own, below HKEY_CURRENT_USER or
  // HKEY_CLASSES_ROOT; not created.
  std::string TestKey() const {
    return std::string("Software\\TarvoContract\\") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }

  std::unique_ptr<ContractWorld> world;
  std::string folder;
};

}  // namespace tarvo
