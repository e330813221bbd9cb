#include "record/RecordNaming.h"

#include "platform/FixedText.h"

namespace vel {

RecordName RecordNameOfFile(std::string_view FNAME) {
  std::string_view name = plat::TrimRight(FNAME);
  if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string_view::npos)
    name.remove_prefix(slash + 1);
  name = name.substr(0, RecordName::Capacity());
  if (const std::size_t dot = name.find('.'); dot != std::string_view::npos)
    name = name.substr(0, dot);
  return RecordName(name);
}

}  // namespace vel
