#include "toolkit/core/AbnormalExit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/core/Conversion.h"

namespace tk {
namespace {

AbnormalExitShow& ShowHook() {
  static AbnormalExitShow hook;
  return hook;
}

AbnormalExitBox& BoxHook() {
  static AbnormalExitBox hook;
  return hook;
}

ProcessExitFunction& ExitHook() {
  static ProcessExitFunction hook;
  return hook;
}

}  // namespace

std::string AbnormalExitMessage(std::string_view text, int code) {
  const int first = FirstNonBlank(text);
  if (first == 0) return {};
  std::string body(text.substr(static_cast<std::size_t>(first - 1)));
  body.resize(static_cast<std::size_t>(CStringTrimmedLength(body)));
  // The code in four columns, the ")" directly after its digits.
  std::string number = FormatIntegerField(code, "(I4)");
  number.erase(0, number.find_first_not_of(' '));
  return "Abnormal exit (code " + number + ") : " + body;
}

void AbnormalExit(std::string_view text, int code) {
  const std::string message = AbnormalExitMessage(text, code);
  if (!message.empty()) {
    if (ShowHook())
      ShowHook()("Parvendrite", message);
    else
      ReportFatal("Parvendrite", message);
  }
  if (ExitHook()) {
    ExitHook()(code);
    return;
  }
  std::fflush(stdout);
  std::_Exit(code);
}

void SetAbnormalExitHooks(AbnormalExitShow show, ProcessExitFunction exit) {
  ShowHook() = std::move(show);
  ExitHook() = std::move(exit);
}

void ReportFatal(const std::string& title, const std::string& text) {
  // Standard error first: a box may not come up, and a log keeps it.
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  std::fflush(stderr);
  if (BoxHook()) BoxHook()(title, text);
}

void SetAbnormalExitBox(AbnormalExitBox show) {
  BoxHook() = std::move(show);
}

}  // namespace tk
