// What the seam contract needs from a Windows to state its promises: a way
// to arrange files, folders, programs and associations, and the seam to ask.
// One world is the in-memory model, the other the real Windows (under Wine).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32_api.h"
#include "support/version_block.h"

namespace tarvo {

class ContractWorld {
 public:
  virtual ~ContractWorld() = default;

  virtual Win32Api& Windows() = 0;
  // An empty folder on drive C: for one test alone; no final "\".
  virtual std::string Folder() = 0;
  virtual void MakeFolder(const std::string& path) = 0;
  virtual void MakeFile(const std::string& path, const std::string& content,
                        std::uint32_t attributes) = 0;
  // A program that exits at once when started.
  virtual void MakeProgram(const std::string& path) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // Files with `extension` (".xyz") open with `openCommand`.
  virtual void Associate(const std::string& extension, const std::string& openCommand) = 0;
  // The system directory's library `name` exists and exports `function`
  // (Windows has it already).
  virtual void ProvideSystemLibrary(const std::string& name, const std::string& function) = 0;
  // A program whose version resource is `resource` and nothing else.
  virtual void MakeVersionedProgram(const std::string& path, const VersionResource& resource) = 0;
  // A directory link at `path` leading to the existing folder `target`.
  virtual void MakeDirectoryLink(const std::string& path, const std::string& target) = 0;

  // --- temp path, clock, drives ---
  // Sets the TMP variable GetTempPath reads first, for this test alone.
  virtual void SetTempVariable(const std::string& value) = 0;
  // The user's default locale, as a locale identifier.
  virtual std::uint32_t UserLocale() = 0;
  // The current local time, as a FILETIME.
  virtual std::uint64_t LocalNow() = 0;
};

// Made fresh for every test; each build links one world.
std::unique_ptr<ContractWorld> MakeContractWorld(const std::string& testName);

}  // namespace tarvo
