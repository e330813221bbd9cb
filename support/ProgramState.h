#pragma once
// The application layers keep their process-wide state here and there, each
// reached through its own accessor in the file that owns it. Every such state
// that a test must return to its start registers its reset in this list, from
// the file that owns it, so that one call resets the whole program while the
// support layer knows nothing of the layers above it (a test executable
// resets just what it links). The toolkit keeps its own list
// (toolkit/core/ToolkitState.h); tests reset both.
//
// The states, by layer ("reset" marks those the one reset returns to their
// start; "kept" those that hold nothing a later call could see):
//   support      pen plotter: pen position, scale, colour, palette-set flag
//                and its text output (PenPlot.cpp, reset; the program's
//                start returns the pen to its start too, as the toolkit's
//                palette is then fresh), clip window of the graph drawing
//                (GraphDraw.cpp, reset), message hook, last message and count,
//                abort poll and latch, dialog field access (UserMessages.cpp,
//                reset), progress hook and bar (Progress.cpp, reset); kept:
//                the worker pool (Parallel.cpp), the machine's vector width
//                and core count, the pen plotter's path buffers
//   record       merge intervals (MergeIntervals.cpp, reset)
//   formats      SEG-Y reader's dialogs, the program's and the current
//                (SegyIn.cpp, reset), SEG-2 string terminators of the last
//                file (Seg2Strings.cpp, reset), ASCII column layout and
//                output file type (AsciiIn.cpp, reset)
//   instruments  none
//   display      the module's trace-plot state, used by the tool windows
//                (TracePlot.cpp, reset; the main window's is the program's
//                own, in Velloran), the kept F-K transform (FkTransform.cpp,
//                reset), the recursive filter's design (RecursiveFilter.cpp,
//                reset); kept: the trace plot's path and gain buffers, the
//                spectrum's work arrays and rotation tables (Spectrum.cpp)
//   shell        last detected format and the SEG-Y reader state
//                (Import.cpp, reset), the Shot Header Editor's remembered
//                values (HeaderEditor.cpp, reset), the processing tools' seams
//                (ProcessCommands.cpp, reset); kept: the allocator's fixed
//                thresholds (MultiFileCommands.cpp). What a run of the
//                program keeps (the spectrum's file type among it) lives in
//                Velloran, which each run makes afresh.
#include <functional>

namespace sup {

/// The application layers, bottom to top.
enum class ProgramLayer { Support, Record, Formats, Instruments, Display, Shell };

/// Registers RESET for a state of LAYER (at static initialisation of the
/// file that owns the state). Returns true, so that a file can write
/// `const bool kRegistered = RegisterProgramReset(...)`.
bool RegisterProgramReset(ProgramLayer layer, std::function<void()> reset);

/// The one reset for tests: every registered state returns to its start,
/// from the top layer down.
void ResetProgramForTesting();

}  // namespace sup
