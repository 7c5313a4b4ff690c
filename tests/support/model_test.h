// A test that talks to the in-memory Windows instead of the real one.
#pragma once

#include <gtest/gtest.h>

#include "support/windows_model.h"

namespace tarvo {

class ModelTest : public ::testing::Test {
 protected:
  ModelTest() { InstallApi(windows); }

  WindowsModel windows;
};

}  // namespace tarvo
