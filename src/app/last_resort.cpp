#include "app/last_resort.h"

#include <cxxabi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "platform/exceptions.h"
#include "platform/path_names.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

struct ErrorDescription {
  std::string className;
  std::string message;
  const void* address = nullptr;
};

std::string DemangledName(const std::type_info& type) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return status == 0 ? name.get() : type.name();
}

ErrorDescription Describe(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return {e.ClassName(), e.Message(), e.Address()};
  } catch (const std::exception& e) {
    return {DemangledName(typeid(e)), e.what()};
  } catch (...) {
    return {"Exception", "", nullptr};
  }
}

}  // namespace

std::string LastResortText(const std::string& className, const std::string& moduleName,
                           const void* address, const std::string& message) {
  char hexAddress[9];
  std::snprintf(hexAddress, sizeof hexAddress, "%08X",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(address)));
  // Compared as the byte it is: an accented last letter also sorts after ".".
  const bool endsAfterDot = !message.empty() && static_cast<unsigned char>(message.back()) > '.';
  return "Exception " + className + " in module " + moduleName + " at " + hexAddress + ".\n" +
         message + (endsAfterDot ? "." : "");
}

void ShowLastResortReport(const std::exception_ptr& error) {
  const ErrorDescription description = Describe(error);
  const std::string moduleName = ExtractFileName(Api().GetModuleFileName());
  Api().MessageBox(
      LastResortText(description.className, moduleName, description.address, description.message),
      "Application Error", MessageBoxIcon::Error);
}

}  // namespace tarvo
