// The fixture of every seam contract test: a fresh world per test, with the
// seam installed and an empty folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/contract_world.h"

namespace tarvo {

// What an output holds before a call that must leave it alone.
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

  std::unique_ptr<ContractWorld> world;
  std::string folder;
};

}  // namespace tarvo
