// The performance test ("--perftest <report>"): timed scenarios through the real main window, one
// report line per measurement ("%-44s %10.2f %s"). It runs instead of the self-test when
// LUMENPAD_PERFTEST is set in the environment.
#pragma once

namespace lumen {

struct App;

// Runs every scenario, writes the lines to app.testPath (FinishTestRun of self_test.h) and asks the
// main window to close.
void RunPerfTest(App& app);

}  // namespace lumen
