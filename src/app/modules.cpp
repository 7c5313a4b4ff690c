#include "app/modules.h"

#include <iterator>

#include "browser/catalogue_file.h"
#include "log/debuggen.h"
#include "platform/run_control.h"

namespace tarvo {

namespace {

struct Module {
  void (*start)();  // null: nothing to do
  void (*close)();  // null: nothing to do
  int nesting;
};

// In start order.
Module modules[] = {
    {nullptr, nullptr, 0},              // LogFComp
    {DebuggenStart, DebuggenClose, 0},  // Debuggen
    {nullptr, BrowsInfClose, 0},        // BrowsInf
    {nullptr, nullptr, 0},              // LmrExt
    {nullptr, nullptr, 0},              // Checks
};

}  // namespace

void StartModules() {
  for (Module& module : modules) {
    if (module.nesting-- == 0 && module.start) module.start();
  }
}

void CloseModules() {
  for (auto module = std::rbegin(modules); module != std::rend(modules); ++module) {
    if (++module->nesting == 0 && module->close) module->close();
  }
}

void StopProgram() {
  CloseModules();
  throw RunEnded{0};
}

}  // namespace tarvo
