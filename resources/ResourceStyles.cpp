// The style names of dialog templates and their values (the standard
// window-system values, which the toolkit's field logic tests bit by bit),
// and a dialog template written back as text.
#include "resources/ResourceFormat_p.h"

#include <cstdio>

namespace res {

namespace {

struct StyleName {
  std::string_view name;
  std::uint32_t value;
};

constexpr StyleName kStyleNames[] = {
    // window styles
    {"WS_POPUP", 0x80000000},
    {"WS_CHILD", 0x40000000},
    {"WS_MINIMIZE", 0x20000000},
    {"WS_VISIBLE", 0x10000000},
    {"WS_DISABLED", 0x08000000},
    {"WS_CLIPSIBLINGS", 0x04000000},
    {"WS_CLIPCHILDREN", 0x02000000},
    {"WS_MAXIMIZE", 0x01000000},
    {"WS_CAPTION", 0x00C00000},
    {"WS_BORDER", 0x00800000},
    {"WS_DLGFRAME", 0x00400000},
    {"WS_VSCROLL", 0x00200000},
    {"WS_HSCROLL", 0x00100000},
    {"WS_SYSMENU", 0x00080000},
    {"WS_THICKFRAME", 0x00040000},
    {"WS_GROUP", 0x00020000},
    {"WS_TABSTOP", 0x00010000},
    {"WS_MINIMIZEBOX", 0x00020000},
    {"WS_MAXIMIZEBOX", 0x00010000},
    // dialog styles
    {"DS_ABSALIGN", 0x0001},
    {"DS_SYSMODAL", 0x0002},
    {"DS_3DLOOK", 0x0004},
    {"DS_FIXEDSYS", 0x0008},
    {"DS_NOFAILCREATE", 0x0010},
    {"DS_LOCALEDIT", 0x0020},
    {"DS_SETFONT", 0x0040},
    {"DS_MODALFRAME", 0x0080},
    {"DS_NOIDLEMSG", 0x0100},
    {"DS_SETFOREGROUND", 0x0200},
    {"DS_CONTROL", 0x0400},
    {"DS_CENTER", 0x0800},
    {"DS_CENTERMOUSE", 0x1000},
    {"DS_CONTEXTHELP", 0x2000},
    // push buttons, check boxes, radio buttons, group boxes
    {"BS_PUSHBUTTON", 0x0},
    {"BS_DEFPUSHBUTTON", 0x1},
    {"BS_CHECKBOX", 0x2},
    {"BS_AUTOCHECKBOX", 0x3},
    {"BS_RADIOBUTTON", 0x4},
    {"BS_3STATE", 0x5},
    {"BS_AUTO3STATE", 0x6},
    {"BS_GROUPBOX", 0x7},
    {"BS_AUTORADIOBUTTON", 0x9},
    {"BS_OWNERDRAW", 0xB},
    {"BS_LEFTTEXT", 0x20},
    {"BS_ICON", 0x40},
    {"BS_BITMAP", 0x80},
    {"BS_LEFT", 0x100},
    {"BS_RIGHT", 0x200},
    {"BS_CENTER", 0x300},
    {"BS_TOP", 0x400},
    {"BS_BOTTOM", 0x800},
    {"BS_VCENTER", 0xC00},
    {"BS_PUSHLIKE", 0x1000},
    {"BS_MULTILINE", 0x2000},
    {"BS_NOTIFY", 0x4000},
    {"BS_FLAT", 0x8000},
    // static fields
    {"SS_LEFT", 0x0},
    {"SS_CENTER", 0x1},
    {"SS_RIGHT", 0x2},
    {"SS_ICON", 0x3},
    {"SS_BLACKRECT", 0x4},
    {"SS_GRAYRECT", 0x5},
    {"SS_WHITERECT", 0x6},
    {"SS_BLACKFRAME", 0x7},
    {"SS_GRAYFRAME", 0x8},
    {"SS_WHITEFRAME", 0x9},
    {"SS_SIMPLE", 0xB},
    {"SS_LEFTNOWORDWRAP", 0xC},
    {"SS_BITMAP", 0xE},
    {"SS_ENHMETAFILE", 0xF},
    {"SS_ETCHEDHORZ", 0x10},
    {"SS_ETCHEDVERT", 0x11},
    {"SS_ETCHEDFRAME", 0x12},
    {"SS_NOPREFIX", 0x80},
    {"SS_NOTIFY", 0x100},
    {"SS_CENTERIMAGE", 0x200},
    {"SS_RIGHTJUST", 0x400},
    {"SS_SUNKEN", 0x1000},
    // edit fields (also the numeric classes)
    {"ES_LEFT", 0x0},
    {"ES_CENTER", 0x1},
    {"ES_RIGHT", 0x2},
    {"ES_MULTILINE", 0x4},
    {"ES_UPPERCASE", 0x8},
    {"ES_LOWERCASE", 0x10},
    {"ES_PASSWORD", 0x20},
    {"ES_AUTOVSCROLL", 0x40},
    {"ES_AUTOHSCROLL", 0x80},
    {"ES_NOHIDESEL", 0x100},
    {"ES_READONLY", 0x800},
    {"ES_WANTRETURN", 0x1000},
    {"ES_NUMBER", 0x2000},
    // list boxes
    {"LBS_NOTIFY", 0x1},
    {"LBS_SORT", 0x2},
    {"LBS_NOREDRAW", 0x4},
    {"LBS_MULTIPLESEL", 0x8},
    {"LBS_HASSTRINGS", 0x40},
    {"LBS_USETABSTOPS", 0x80},
    {"LBS_NOINTEGRALHEIGHT", 0x100},
    {"LBS_MULTICOLUMN", 0x200},
    {"LBS_WANTKEYBOARDINPUT", 0x400},
    {"LBS_EXTENDEDSEL", 0x800},
    {"LBS_DISABLENOSCROLL", 0x1000},
    {"LBS_NOSEL", 0x4000},
    // combo boxes
    {"CBS_SIMPLE", 0x1},
    {"CBS_DROPDOWN", 0x2},
    {"CBS_DROPDOWNLIST", 0x3},
    {"CBS_AUTOHSCROLL", 0x40},
    {"CBS_SORT", 0x100},
    {"CBS_HASSTRINGS", 0x200},
    {"CBS_NOINTEGRALHEIGHT", 0x400},
    {"CBS_DISABLENOSCROLL", 0x800},
    {"CBS_UPPERCASE", 0x2000},
    {"CBS_LOWERCASE", 0x4000},
    // scroll bars and size grips
    {"SBS_HORZ", 0x0},
    {"SBS_VERT", 0x1},
    {"SBS_SIZEBOXBOTTOMRIGHTALIGN", 0x4},
    {"SBS_SIZEBOX", 0x8},
    {"SBS_SIZEGRIP", 0x10},
    // trackbars
    {"TBS_AUTOTICKS", 0x1},
    {"TBS_VERT", 0x2},
    {"TBS_HORZ", 0x0},
    {"TBS_TOP", 0x4},
    {"TBS_BOTTOM", 0x0},
    {"TBS_LEFT", 0x4},
    {"TBS_RIGHT", 0x0},
    {"TBS_BOTH", 0x8},
    {"TBS_NOTICKS", 0x10},
    {"TBS_ENABLESELRANGE", 0x20},
    {"TBS_FIXEDLENGTH", 0x40},
    {"TBS_NOTHUMB", 0x80},
    {"TBS_TOOLTIPS", 0x100},
    // up-down controls
    {"UDS_WRAP", 0x1},
    {"UDS_SETBUDDYINT", 0x2},
    {"UDS_ALIGNRIGHT", 0x4},
    {"UDS_ALIGNLEFT", 0x8},
    {"UDS_AUTOBUDDY", 0x10},
    {"UDS_ARROWKEYS", 0x20},
    {"UDS_HORZ", 0x40},
    {"UDS_NOTHOUSANDS", 0x80},
    // progress bars
    {"PBS_SMOOTH", 0x1},
    {"PBS_VERTICAL", 0x4},
    // tab controls
    {"TCS_BUTTONS", 0x100},
    {"TCS_MULTILINE", 0x200},
    {"TCS_FIXEDWIDTH", 0x400},
    {"TCS_TOOLTIPS", 0x4000},
    {"TCS_FOCUSNEVER", 0x8000},
    // tree views
    {"TVS_HASBUTTONS", 0x1},
    {"TVS_HASLINES", 0x2},
    {"TVS_LINESATROOT", 0x4},
    {"TVS_EDITLABELS", 0x8},
    {"TVS_DISABLEDRAGDROP", 0x10},
    {"TVS_SHOWSELALWAYS", 0x20},
};

}  // namespace

bool StyleValue(std::string_view name, std::uint32_t& value) {
  for (const StyleName& s : kStyleNames) {
    if (s.name == name) {
      value = s.value;
      return true;
    }
  }
  return false;
}

std::string FormatDialog(const DialogTemplate& d) {
  auto hex = [](std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return std::string(buf);
  };
  std::string out =
      "dialog " + std::to_string(d.id) + (d.kind == DialogKind::Child ? " child\n" : " popup\n");
  out += "  caption " + detail::Quote(d.caption) + "\n";
  out += "  rect " + std::to_string(d.x) + " " + std::to_string(d.y) + " " +
         std::to_string(d.width) + " " + std::to_string(d.height) + "\n";
  if (d.fontPoints > 0)
    out += "  font " + std::to_string(d.fontPoints) + " " + detail::Quote(d.fontFace) + "\n";
  out += "  style " + hex(d.style) + "\n";
  for (const DialogControl& c : d.controls) {
    out += "  control " + c.className + " " + std::to_string(c.id) + " " + std::to_string(c.x) +
           " " + std::to_string(c.y) + " " + std::to_string(c.width) + " " +
           std::to_string(c.height) + " " + detail::Quote(c.text) + " " + hex(c.style) + "\n";
  }
  if (d.hasExtras) {
    out += "  extras\n" + d.extras;
    if (!d.extras.empty() && d.extras.back() != '\n') out += '\n';
    out += "  end\n";
  }
  return out + "end\n";
}

}  // namespace res
