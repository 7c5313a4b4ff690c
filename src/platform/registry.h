// The registry accessor: one root, at most one open key, and that key closed
// on every path out of the routine that made the accessor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/win32_api.h"

namespace tarvo {

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "ERegistryException"; }
};

class RegistryAccessor {
 public:
  explicit RegistryAccessor(Handle root);
  ~RegistryAccessor();
  RegistryAccessor(const RegistryAccessor&) = delete;
  RegistryAccessor& operator=(const RegistryAccessor&) = delete;

  // Opens `path`, creating what is missing, with full access. A path that
  // begins with "\" is taken from the root; one without, from the open key
  // when there is one, else from the root. On success the previous key is
  // closed; on failure it stays open (or none does) and false is returned.
  bool OpenKey(const std::string& path);
  // The same for an existing key, opened for reading only.
  bool OpenKeyReadOnly(const std::string& path);
  bool HasOpenKey() const { return key_ != NoHandle; }
  void CloseKey();

  bool ValueExists(const std::string& name) const;
  // True when the value is a REG_SZ whose text is exactly `text`.
  bool HoldsText(const std::string& name, const std::string& text) const;
  // A REG_DWORD value as a signed number. Raises ERegistryException "Failed
  // to get data for '<name>'" when it cannot be read into 4 bytes, "Invalid
  // data type for '<name>'" when it is of another type.
  std::int32_t ReadInteger(const std::string& name) const;

  // Raise ERegistryException "Failed to set data for '<name>'" on failure,
  // also when no key is open. An empty name is the key's default value;
  // texts are stored as REG_SZ with their terminating zero.
  void WriteString(const std::string& name, const std::string& text);
  void WriteBinary(const std::string& name, const std::vector<std::uint8_t>& data);
  // True when the value existed and is gone.
  bool DeleteValue(const std::string& name);

 private:
  bool Open(const std::string& path, std::uint32_t access, bool create);
  void Write(const std::string& name, std::uint32_t type, const std::uint8_t* data,
             std::uint32_t size);

  Handle root_;
  Handle key_ = NoHandle;
};

}  // namespace tarvo
