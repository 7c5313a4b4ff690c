// Handles from the seam close themselves, through the seam, on every path.
#pragma once

#include "platform/win32_api.h"

namespace tarvo {

template <void (Win32Api::*Close)(Handle)>
class UniqueHandle {
 public:
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() {
    if (handle_ != NoHandle) (Api().*Close)(handle_);
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != NoHandle; }

 private:
  Handle handle_;
};

using UniqueFile = UniqueHandle<&Win32Api::CloseHandle>;
using UniqueSearch = UniqueHandle<&Win32Api::FindClose>;
using UniqueLibrary = UniqueHandle<&Win32Api::FreeLibrary>;

}  // namespace tarvo
