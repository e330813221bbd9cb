#pragma once
// Plot-file output: the two output streams through which the hardcopy
// drivers write their files or device streams. Every failure is reported
// under "YYPROU" and leaves PlotFileStatus at -1.
//
// A plain file and the pipe to `lp` get their bytes in blocks of 64 KB: what
// the writes below hand over is held until the block is full, the stream is
// closed or its handle is asked for, and a failure of that block's write is
// reported then, as the failed write (error 2) it stands for. Devices (serial
// ports and the like) get every write at once.
#include <cstdint>
#include <string_view>

namespace tk {

/// Opens the file or device named in DriverText for writing (created or
/// truncated). "PRN" and "LPT1"-"LPT3" (any case, optional colon) feed the
/// standard input of `lp -o raw`; "COM1"-"COM3" open /dev/ttyS0-2 and "AUX"
/// is "COM1". Error 1 when the name is blank or the open fails.
void PlotFileOpen(int stream);
/// Writes N bytes of BYTES; error 2 when not all were written.
void PlotFileWrite(int stream, std::string_view bytes, int n);
/// Writes TEXT(1:N) and CR LF, N + 2 bytes.
void PlotFileWriteLine(int stream, std::string_view text, int n);
/// Writes the first N bytes of the raster row buffer; bit 0 of FLAGS adds
/// CR LF.
void PlotFileWriteRaster(int stream, int n, int flags);
/// Writes what is held and closes the stream. For a printer, waits for `lp`
/// as every hand-over to the print system does (time limit, Cancel); lp's
/// refusal or silence is error 2 and is told to the user.
void PlotFileClose(int stream);
/// The stream's descriptor (-1 when closed), after what is held is written.
void PlotFileHandle(int stream, int& handle);
/// 0 after a successful open; -1 after a failed open or any failed write.
std::int32_t& PlotFileStatus();

}  // namespace tk
