// The standard library's errors, raised by the launcher's own helpers. The
// library's helpers throw std::logic_error and its kin, which keep their
// message in a copy-on-write string: that second string implementation, its
// error classes and std::random_device (some 60 KB) would come with them
// into a file read from CD at every start. Linked into the launcher only.
//
// What is thrown is the product's Exception, which every handler that took
// the library's error takes too, with the library's class name and message,
// so the last-resort report reads as before.
#include <cstdarg>
#include <cstddef>
#include <new>
#include <string>
#include <utility>

#include "platform/exceptions.h"

namespace {

class StandardLibraryError final : public tarvo::Exception {
 public:
  StandardLibraryError(const char* className, std::string message)
      : Exception(std::move(message)), className_(className) {}
  const char* ClassName() const override { return className_; }

 private:
  const char* className_;
};

// The two conversions the library's messages use, %s and %zu.
std::string Formatted(const char* format, va_list arguments) {
  std::string text;
  for (const char* c = format; *c; ++c) {
    if (c[0] == '%' && c[1] == 's') {
      text += va_arg(arguments, const char*);
      c += 1;
    } else if (c[0] == '%' && c[1] == 'z' && c[2] == 'u') {
      text += std::to_string(va_arg(arguments, std::size_t));
      c += 2;
    } else {
      text += *c;
    }
  }
  return text;
}

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }

void __throw_bad_array_new_length() { throw bad_array_new_length(); }

void __throw_length_error(const char* message) {
  throw StandardLibraryError("std::length_error", message);
}

void __throw_logic_error(const char* message) {
  throw StandardLibraryError("std::logic_error", message);
}

void __throw_invalid_argument(const char* message) {
  throw StandardLibraryError("std::invalid_argument", message);
}

void __throw_out_of_range(const char* message) {
  throw StandardLibraryError("std::out_of_range", message);
}

void __throw_out_of_range_fmt(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string message = Formatted(format, arguments);
  va_end(arguments);
  throw StandardLibraryError("std::out_of_range", std::move(message));
}

}  // namespace std
