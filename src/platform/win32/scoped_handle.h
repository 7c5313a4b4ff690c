// A handle that closes itself with `Close`: CloseHandle for kernel objects,
// FindClose for searches. Calls answer "none" with either null or
// INVALID_HANDLE_VALUE; both count as none here.
#pragma once

#include "platform/win32/windows_headers.h"

namespace tarvo {

template <BOOL(WINAPI* Close)(HANDLE)>
class ScopedWin32Handle {
 public:
  explicit ScopedWin32Handle(HANDLE handle) : handle_(handle) {}
  ~ScopedWin32Handle() {
    if (valid()) Close(handle_);
  }
  ScopedWin32Handle(const ScopedWin32Handle&) = delete;
  ScopedWin32Handle& operator=(const ScopedWin32Handle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

using ScopedHandle = ScopedWin32Handle<::CloseHandle>;
using ScopedSearch = ScopedWin32Handle<::FindClose>;

}  // namespace tarvo
