// The report of an error that no routine handled.
#pragma once

#include <exception>
#include <string>

namespace tarvo {

// "Exception <class> in module <module> at <address>.\n<message>", with a
// final "." when the message's last character sorts after ".".
std::string LastResortText(const std::string& className, const std::string& moduleName,
                           const void* address, const std::string& message);

// Shows the "Application Error" box, with the error icon, for `error`.
void ShowLastResortReport(const std::exception_ptr& error);

}  // namespace tarvo
