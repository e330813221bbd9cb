// Every test of this executable starts from, and leaves, the program's and
// the toolkit's process-wide state as at start-up.
#include "support/ProgramState.h"
#include "tests/TestSupport.h"
#include "toolkit/core/ToolkitState.h"

namespace {

const bool kResetsAroundEveryTest = testing_support::ResetAroundEveryTest([] {
  sup::ResetProgramForTesting();
  tk::ResetToolkitForTesting();
});

}  // namespace
