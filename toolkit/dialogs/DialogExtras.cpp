// Reading the dialog-extras text into entries. Nothing here touches a
// window; ReadDialogExtras (DialogExtrasApply.cpp) applies the entries.
#include "toolkit/dialogs/DialogExtras.h"

#include <cmath>
#include <limits>

#include "platform/FixedText.h"
#include "resources/ResourceFormat.h"
#include "toolkit/core/Conversion.h"

namespace tk {

namespace {

constexpr std::string_view kSectionNames[] = {
    "[Ranges]",  "[Menus]",  "[Checks]",  "[Tabs]",      "[Grids]", "[Colours]", "[Trackbars]",
    "[Lengths]", "[Dialog]", "[Formats]", "[Treeviews]", "[Fonts]", "[Flags]"};

/// Style bits of a grid field: row labels, and labels that the entry does
/// not carry.
constexpr std::uint32_t kGridRowLabels = 0x400;
constexpr std::uint32_t kGridNoLabelLines = 0x80;

// Blanks between the words of an extras line.
constexpr std::string_view kLineBlanks = " \t\r";

bool IsBlank(char c) {
  return kLineBlanks.find(c) != std::string_view::npos;
}

std::string_view SkipBlanks(std::string_view s) {
  return plat::TrimLeft(s, kLineBlanks);
}

std::string_view TrimRight(std::string_view s) {
  return plat::TrimRight(s, kLineBlanks);
}

/// The text cut into lines (without their line feeds), each at most
/// kExtrasLineLimit characters; notes the lines that were cut.
std::vector<std::string_view> SplitLines(std::string_view text, DialogExtras& out) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text = lf == std::string_view::npos ? std::string_view{} : text.substr(lf + 1);
    if (line.size() > kExtrasLineLimit) {
      out.problems.push_back(
          {static_cast<int>(lines.size()) + 1,
           "line longer than " + std::to_string(kExtrasLineLimit) + " characters, cut"});
      line = line.substr(0, kExtrasLineLimit);
    }
    lines.push_back(line);
  }
  return lines;
}

/// Reads the next blank-delimited word of S (moving S past it).
std::string_view NextWord(std::string_view& s) {
  s = SkipBlanks(s);
  std::size_t n = 0;
  while (n < s.size() && !IsBlank(s[n])) ++n;
  const std::string_view w = s.substr(0, n);
  s = s.substr(n);
  return w;
}

/// A decimal integer: optional sign and digits, within 32 bits.
bool ParseInt(std::string_view w, std::int32_t& v) {
  if (w.empty()) return false;
  std::size_t i = 0;
  const bool negative = w[0] == '-';
  if (w[0] == '-' || w[0] == '+') i = 1;
  if (i == w.size()) return false;
  std::int64_t sum = 0;
  for (; i < w.size(); ++i) {
    if (w[i] < '0' || w[i] > '9') return false;
    sum = sum * 10 + (w[i] - '0');
    if (sum > (std::int64_t{1} << 31)) return false;
  }
  if (negative) sum = -sum;
  if (sum < std::numeric_limits<std::int32_t>::min() ||
      sum > std::numeric_limits<std::int32_t>::max())
    return false;
  v = static_cast<std::int32_t>(sum);
  return true;
}

/// Reads COUNT integers from S into OUT; the first missing or bad one is
/// described in WHY.
bool ReadInts(std::string_view& s, std::size_t count, std::vector<std::int32_t>& out,
              std::string& why) {
  for (std::size_t k = 0; k < count; ++k) {
    const std::string_view w = NextWord(s);
    if (w.empty()) {
      why = "expected " + std::to_string(count) + " values after the field identifier";
      return false;
    }
    std::int32_t v = 0;
    if (!ParseInt(w, v)) {
      why = "\"" + std::string(w) + "\" is not an integer";
      return false;
    }
    out.push_back(v);
  }
  return true;
}

class Reader {
 public:
  Reader(std::vector<std::string_view> lines, DialogExtras& out, const res::DialogTemplate* t)
      : lines_(std::move(lines)), out_(out), template_(t) {}

  void Run() {
    while (at_ < lines_.size()) {
      const std::size_t here = at_++;
      const std::string_view line = SkipBlanks(lines_[here]);
      const ExtrasSection s = ExtrasSectionOf(line);
      if (s != ExtrasSection::None) {
        section_ = s;
        continue;
      }
      if (TrimRight(line).empty()) continue;
      FieldLine(line, static_cast<int>(here) + 1);
    }
  }

 private:
  void Problem(int line, std::string message) {
    out_.problems.push_back({line, std::move(message)});
  }

  /// The next COUNT lines (fewer at the end of the text), consumed.
  std::vector<std::string_view> TakeLines(std::int64_t count) {
    std::vector<std::string_view> taken;
    while (count-- > 0 && at_ < lines_.size()) taken.push_back(lines_[at_++]);
    return taken;
  }

  /// The style of grid FIELD in the template (0 when unknown).
  std::uint32_t GridStyle(std::int32_t field) const {
    if (template_ == nullptr) return 0;
    for (const res::DialogControl& c : template_->controls)
      if (c.id == field) return c.style;
    return 0;
  }

  void FieldLine(std::string_view line, int number) {
    if (section_ == ExtrasSection::None) {
      Problem(number, "field line before the first section header");
      return;
    }
    ExtrasEntry e;
    e.section = section_;
    e.line = number;
    std::string_view rest = line;
    const std::string_view id = NextWord(rest);
    if (!ParseInt(id, e.field)) {
      Problem(number, "\"" + std::string(id) + "\" is no field identifier");
      return;
    }
    std::string why;
    bool ok = true;
    switch (section_) {
      case ExtrasSection::Ranges:
        for (int k = 0; k < 2 && ok; ++k) {
          const std::string_view w = NextWord(rest);
          double v = 0.0;
          int valid = 0;
          if (!w.empty()) ParseDoubleChecked(v, valid, w);
          if (w.empty())
            why = "expected a low and a high bound";
          else if (!valid || std::isnan(v))
            why = "\"" + std::string(w) + "\" is not a number";
          ok = !w.empty() && valid && !std::isnan(v);
          e.numbers.push_back(v);
        }
        break;
      case ExtrasSection::Menus:
        ok = ReadInts(rest, 2, e.ints, why);
        if (ok) {
          if (e.ints[0] < 0) {
            ok = false;
            why = "negative option count";
            break;
          }
          for (std::string_view option : TakeLines(e.ints[0]))
            e.lines.emplace_back(TrimRight(option));
        }
        break;
      case ExtrasSection::Tabs:
        ok = ReadInts(rest, 2, e.ints, why);
        if (ok) {
          if (e.ints[0] < 0) {
            ok = false;
            why = "negative tab count";
            break;
          }
          const int first = static_cast<int>(at_) + 1;
          const std::vector<std::string_view> items = TakeLines(e.ints[0]);
          for (std::size_t k = 0; k < items.size(); ++k) {
            std::string_view item = items[k];
            ExtrasTabPage page;
            if (!ParseInt(NextWord(item), page.page)) {
              Problem(first + static_cast<int>(k), "tab line without a page identifier");
              continue;
            }
            page.caption = std::string(TrimRight(SkipBlanks(item)));
            e.pages.push_back(std::move(page));
          }
        }
        break;
      case ExtrasSection::Grids:
        ok = ReadInts(rest, 3, e.ints, why);
        if (ok && (GridStyle(e.field) & kGridRowLabels) != 0) {
          // A grid with row labels: a label-width line, then (unless its
          // labels start empty) one label per row.
          const std::vector<std::string_view> width = TakeLines(1);
          std::int32_t w = 0;
          std::string_view wl = width.empty() ? std::string_view{} : width[0];
          if (!width.empty() && ParseInt(NextWord(wl), w)) e.ints.push_back(w);
          if ((GridStyle(e.field) & kGridNoLabelLines) == 0)
            for (std::string_view label : TakeLines(std::max<std::int32_t>(e.ints[1], 0)))
              e.lines.emplace_back(TrimRight(label));
        }
        break;
      case ExtrasSection::Colours:
        ok = ReadInts(rest, 6, e.ints, why);
        break;
      case ExtrasSection::Trackbars:
        ok = ReadInts(rest, 5, e.ints, why);
        break;
      case ExtrasSection::Checks:
      case ExtrasSection::Lengths:
      case ExtrasSection::Flags:
        ok = ReadInts(rest, 1, e.ints, why);
        break;
      case ExtrasSection::Treeviews:
        ok = ReadInts(rest, 2, e.ints, why);
        break;
      case ExtrasSection::Dialog: {
        // Stretch field and attach are optional; both 0 when absent.
        for (int k = 0; k < 2 && ok; ++k) {
          const std::string_view w = NextWord(rest);
          std::int32_t v = 0;
          if (!w.empty() && !ParseInt(w, v)) {
            ok = false;
            why = "\"" + std::string(w) + "\" is not an integer";
          }
          e.ints.push_back(v);
        }
        break;
      }
      case ExtrasSection::Formats:
        e.text = std::string(TrimRight(SkipBlanks(rest)));
        ok = !e.text.empty();
        if (!ok) why = "no edit descriptor";
        break;
      case ExtrasSection::Fonts: {
        ok = ReadInts(rest, 1, e.ints, why);
        if (!ok) break;
        rest = SkipBlanks(rest);
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
          ok = false;
          why = "the face name must end with a comma";
          break;
        }
        e.text = std::string(TrimRight(rest.substr(0, comma)));
        rest = rest.substr(comma + 1);
        ok = ReadInts(rest, 2, e.ints, why);
        if (ok && (e.ints[0] <= 0 || e.ints[0] > 1000)) {
          ok = false;
          why = "font size out of range";
        }
        break;
      }
      case ExtrasSection::None:
        break;
    }
    if (!ok) {
      Problem(number, why);
      return;
    }
    out_.entries.push_back(std::move(e));
  }

  std::vector<std::string_view> lines_;
  DialogExtras& out_;
  const res::DialogTemplate* template_;
  std::size_t at_ = 0;
  ExtrasSection section_ = ExtrasSection::None;
};

}  // namespace

int SectionPrefixCompare(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<signed char>(a[i]) - static_cast<signed char>(b[i]);
  return 0;
}

ExtrasSection ExtrasSectionOf(std::string_view line) {
  line = SkipBlanks(line);
  for (std::size_t i = 0; i < std::size(kSectionNames); ++i) {
    // The whole name must be there: a line holding part of it opens nothing.
    if (line.size() >= kSectionNames[i].size() && SectionPrefixCompare(kSectionNames[i], line) == 0)
      return static_cast<ExtrasSection>(i + 1);
  }
  return ExtrasSection::None;
}

bool ParseDialogExtras(std::string_view text, DialogExtras& out,
                       const res::DialogTemplate* dialogTemplate) {
  out = DialogExtras{};
  Reader reader(SplitLines(text, out), out, dialogTemplate);
  reader.Run();
  return out.problems.empty();
}

std::string DescribeExtrasProblems(const DialogExtras& extras) {
  std::string s;
  for (const ExtrasProblem& p : extras.problems)
    s += "line " + std::to_string(p.line) + ": " + p.message + "\n";
  return s;
}

}  // namespace tk
