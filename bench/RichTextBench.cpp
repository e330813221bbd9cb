// The rich-text control's text: typing into a long document, reading and
// writing RTF, and plain text in and out.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/controls/RichText.h"

namespace {

/// A document of N lines with a bold word on every tenth.
plat::RichText LongDocument(int lines) {
  plat::RichText t;
  std::string text;
  for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + " of the trace notes\r\n";
  t.Replace(0, 0, text, plat::CharFormat{});
  plat::CharFormat bold;
  bold.bold = true;
  int at = 0;
  for (int i = 0; i < lines; i += 10) {
    t.SetCharFormat(at, at + 4, plat::kCfmBold, bold);
    at = t.ParagraphStart(i + 10);
  }
  t.ClearUndo();
  return t;
}

void BM_RichTextTypeIntoLongDocument(benchmark::State& state) {
  plat::RichText t = LongDocument(20000);
  const int middle = t.Length() / 2;
  int typed = 0;
  for (auto _ : state) {
    t.NoteTyping(middle + typed);
    t.Replace(middle + typed, middle + typed, "x", plat::CharFormat{});
    ++typed;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_RichTextRtfRoundTrip(benchmark::State& state) {
  const plat::RichText t = LongDocument(20000);
  for (auto _ : state) {
    const std::string rtf = plat::WriteRtf(t, 0, t.Length());
    plat::RichPiece p;
    benchmark::DoNotOptimize(plat::ReadRtf(rtf, plat::CharFormat{}, p));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.Length()));
}

void BM_RichTextPlainInOut(benchmark::State& state) {
  const plat::RichText t = LongDocument(20000);
  const std::string plain = t.PlainText(0, t.Length());
  for (auto _ : state) {
    plat::RichText copy;
    copy.Reset(plat::PlainPiece(plain, plat::CharFormat{}));
    benchmark::DoNotOptimize(copy.PlainText(0, copy.Length()));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(plain.size()));
}

}  // namespace

BENCHMARK(BM_RichTextTypeIntoLongDocument)->UseRealTime();
BENCHMARK(BM_RichTextRtfRoundTrip)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RichTextPlainInOut)->UseRealTime()->Unit(benchmark::kMillisecond);
