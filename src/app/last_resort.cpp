#include "app/last_resort.h"

#include <cstdint>
#include <exception>
#include <string_view>
#include <typeinfo>

#include "app/modules.h"
#include "platform/exceptions.h"
#include "platform/hex_digits.h"
#include "platform/path_names.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

// Takes one <length><identifier> off the front of a mangled name.
std::optional<std::string_view> TakeSourceName(std::string_view& mangled) {
  std::size_t digits = 0;
  std::size_t length = 0;
  while (digits < mangled.size() && mangled[digits] >= '0' && mangled[digits] <= '9' &&
         length <= mangled.size()) {
    length = 10 * length + static_cast<std::size_t>(mangled[digits++] - '0');
  }
  if (digits == 0 || length > mangled.size() - digits) return std::nullopt;
  const std::string_view name = mangled.substr(digits, length);
  mangled.remove_prefix(digits + length);
  return name;
}

// The class name as C++ writes it ("std::bad_alloc") of the mangled names
// that classes have: a name, or names nested in namespaces and classes, with
// ABI tags. Any other form stays as it is. The runtime's own demangler
// would bring 45 KB of code and a printf into a file read from CD at every
// start.
std::string ClassNameOf(const std::type_info& type) {
  std::string_view mangled = type.name();
  const bool nested = !mangled.empty() && mangled.front() == 'N';
  if (nested) mangled.remove_prefix(1);
  std::string readable;
  if (mangled.substr(0, 2) == "St") {
    readable = "std";
    mangled.remove_prefix(2);
  }
  while (!mangled.empty() && mangled.front() != 'E') {
    const bool abiTag = mangled.front() == 'B';
    if (abiTag) mangled.remove_prefix(1);
    const std::optional<std::string_view> name = TakeSourceName(mangled);
    if (!name) return type.name();
    if (abiTag) {
      readable += "[abi:" + std::string(*name) + "]";
    } else {
      readable += (readable.empty() ? "" : "::") + std::string(*name);
    }
  }
  const bool complete = nested ? mangled == "E" : mangled.empty();
  return complete && !readable.empty() ? readable : type.name();
}

}  // namespace

std::optional<ErrorDescription> RunGuarded(const std::function<void()>& step) {
  try {
    step();
    return std::nullopt;
  } catch (const Exception& e) {
    return ErrorDescription{e.ClassName(), e.Message(), e.Address()};
  } catch (const std::exception& e) {
    return ErrorDescription{ClassNameOf(typeid(e)), e.what()};
  } catch (...) {
    return ErrorDescription{"Exception", ""};
  }
}

std::string LastResortText(const std::string& className, const std::string& moduleName,
                           const void* address, const std::string& message) {
  const std::string hexAddress =
      UpperHexDigits(reinterpret_cast<std::uintptr_t>(address), 2 * sizeof(void*));
  // Compared as the byte it is: an accented last letter also sorts after ".".
  const bool endsAfterDot = !message.empty() && static_cast<unsigned char>(message.back()) > '.';
  return "Exception " + className + " in module " + moduleName + " at " + hexAddress + ".\n" +
         message + (endsAfterDot ? "." : "");
}

ErrorDescription TerminationError() {
  if (const std::exception_ptr current = std::current_exception()) {
    return *RunGuarded([&current] { std::rethrow_exception(current); });
  }
  return {"std::terminate", "terminate called without an active exception"};
}

ErrorDescription StructuredError(std::uint32_t code, const void* address) {
  return {"EExternalException", "External exception " + UpperHexDigits(code, 8), address};
}

int EndAfterError(ErrorDescription error) {
  for (std::optional<ErrorDescription> next = error; next; next = RunGuarded(CloseModules)) {
    ShowLastResortReport(*next);
  }
  return 1;
}

void ShowLastResortReport(const ErrorDescription& error) {
  const std::string moduleName = ExtractFileName(Api().GetModuleFileName());
  Api().MessageBox(LastResortText(error.className, moduleName, error.address, error.message),
                   "Application Error", MessageBoxIcon::Error);
}

}  // namespace tarvo
