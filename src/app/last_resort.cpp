#include "app/last_resort.h"

#include <cxxabi.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "app/modules.h"
#include "platform/exceptions.h"
#include "platform/hex_digits.h"
#include "platform/path_names.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

std::string DemangledName(const std::type_info& type) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return status == 0 ? name.get() : type.name();
}

}  // namespace

std::optional<ErrorDescription> RunGuarded(const std::function<void()>& step) {
  try {
    step();
    return std::nullopt;
  } catch (const Exception& e) {
    return ErrorDescription{e.ClassName(), e.Message(), e.Address()};
  } catch (const std::exception& e) {
    return ErrorDescription{DemangledName(typeid(e)), e.what()};
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
