#include "platform/exceptions.h"

#include <utility>

namespace tarvo {

// Kept out of line so that the return address is the code that raised.
__attribute__((noinline)) Exception::Exception(std::string message)
    : message_(std::move(message)), address_(__builtin_return_address(0)) {}

}  // namespace tarvo
