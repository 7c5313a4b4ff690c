// Checks that an action raises one of the product's errors, by class name
// and message, as the user and the log would see it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/exceptions.h"

namespace tarvo {

inline void ExpectError(const std::function<void()>& action, const std::string& className,
                        const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no error, expected " << className << ": " << message;
  } catch (const Exception& e) {
    EXPECT_EQ(e.ClassName(), className);
    EXPECT_EQ(e.Message(), message);
  }
}

}  // namespace tarvo
