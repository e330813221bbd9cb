#pragma once
// Small prompt dialogs.
#include <cstdint>
#include <string_view>

namespace vel {

inline constexpr int kIntegerPromptDialog = 136;
inline constexpr int kRealPromptDialog = 148;
inline constexpr int kGeometryNumberDialog = 118;

/// Asks for a whole number in dialog 136 "Get Integer": PROMPT above the
/// field, VALUE as the default. OK: VALUE := the number entered, IERR 0.
/// Cancel: IERR -1, VALUE unchanged.
void INUMINDLG(std::string_view PROMPT, std::int32_t& VALUE, std::int32_t& IERR);

/// Asks for a real number in dialog 148 "Get Floating Point Number", as
/// INUMINDLG does; the field shows VALUE in its own format.
void FNUMINDLG(std::string_view PROMPT, float& VALUE, std::int32_t& IERR);

/// The Shot Header Editor's number prompt: as FNUMINDLG in dialog 118.
void NUMINDLG(std::string_view PROMPT, float& VALUE, std::int32_t& IERR);

/// Gives the readers that ask the user (the SEG-Y reader's record prompt and
/// Shot Header Editor) the program's dialogs. Cheap; callers make sure of it
/// before every read that may ask.
void UseProgramReaderDialogs();

}  // namespace vel
