// The report of an error that no routine handled.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tarvo {

// What the report says of an error.
struct ErrorDescription {
  std::string className;
  std::string message;
  const void* address = nullptr;
};

// Runs `step` under the program's outermost handler: the one place that
// catches everything. Returns what escaped it, if anything.
std::optional<ErrorDescription> RunGuarded(const std::function<void()>& step);

// "Exception <class> in module <module> at <address>.\n<message>", with a
// final "." when the message's last character sorts after "."; the address
// has as many hexadecimal digits as a pointer of this build.
std::string LastResortText(const std::string& className, const std::string& moduleName,
                           const void* address, const std::string& message);

// Shows the "Application Error" box, with the error icon.
void ShowLastResortReport(const ErrorDescription& error);

// Reports `error`, then runs the closing steps that have not run yet (one of
// them may fail in turn, which is reported the same way); returns the exit
// code, 1.
int EndAfterError(ErrorDescription error);

// What the report says when the C++ runtime ends the run itself (an
// exception thrown while another unwinds, or out of a function that may
// throw none): the exception it was handling, or, with none, the runtime's
// own words for that under the class name "std::terminate".
ErrorDescription TerminationError();

// An error that is no C++ exception, such as an access violation inside a
// library: Windows' exception code and where it happened.
ErrorDescription StructuredError(std::uint32_t code, const void* address);

}  // namespace tarvo
