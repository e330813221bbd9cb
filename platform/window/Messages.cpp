// Message names for dumps and test output.
#include "platform/window/Messages.h"

namespace plat {

std::string ToString(Msg m) {
  switch (m) {
#define VELLORAN_MSG_NAME(n) \
  case Msg::n:               \
    return #n;
    VELLORAN_MSG_NAME(Null)
    VELLORAN_MSG_NAME(Create)
    VELLORAN_MSG_NAME(Destroy)
    VELLORAN_MSG_NAME(Move)
    VELLORAN_MSG_NAME(Size)
    VELLORAN_MSG_NAME(Activate)
    VELLORAN_MSG_NAME(SetFocus)
    VELLORAN_MSG_NAME(KillFocus)
    VELLORAN_MSG_NAME(Enable)
    VELLORAN_MSG_NAME(SetText)
    VELLORAN_MSG_NAME(Paint)
    VELLORAN_MSG_NAME(Close)
    VELLORAN_MSG_NAME(Quit)
    VELLORAN_MSG_NAME(EraseBackground)
    VELLORAN_MSG_NAME(ShowWindow)
    VELLORAN_MSG_NAME(Help)
    VELLORAN_MSG_NAME(Notify)
    VELLORAN_MSG_NAME(NcHitTest)
    VELLORAN_MSG_NAME(GetDlgCode)
    VELLORAN_MSG_NAME(NcLButtonDown)
    VELLORAN_MSG_NAME(NcLButtonUp)
    VELLORAN_MSG_NAME(NcLButtonDblClk)
    VELLORAN_MSG_NAME(NcRButtonDown)
    VELLORAN_MSG_NAME(NcRButtonUp)
    VELLORAN_MSG_NAME(NcMButtonDown)
    VELLORAN_MSG_NAME(NcMButtonUp)
    VELLORAN_MSG_NAME(KeyDown)
    VELLORAN_MSG_NAME(KeyUp)
    VELLORAN_MSG_NAME(Char)
    VELLORAN_MSG_NAME(SysKeyDown)
    VELLORAN_MSG_NAME(SysKeyUp)
    VELLORAN_MSG_NAME(SysChar)
    VELLORAN_MSG_NAME(Command)
    VELLORAN_MSG_NAME(MenuSelect)
    VELLORAN_MSG_NAME(EnterMenuLoop)
    VELLORAN_MSG_NAME(ExitMenuLoop)
    VELLORAN_MSG_NAME(Timer)
    VELLORAN_MSG_NAME(HScroll)
    VELLORAN_MSG_NAME(VScroll)
    VELLORAN_MSG_NAME(MouseMove)
    VELLORAN_MSG_NAME(LButtonDown)
    VELLORAN_MSG_NAME(LButtonUp)
    VELLORAN_MSG_NAME(LButtonDblClk)
    VELLORAN_MSG_NAME(RButtonDown)
    VELLORAN_MSG_NAME(RButtonUp)
    VELLORAN_MSG_NAME(RButtonDblClk)
    VELLORAN_MSG_NAME(MButtonDown)
    VELLORAN_MSG_NAME(MButtonUp)
    VELLORAN_MSG_NAME(MButtonDblClk)
    VELLORAN_MSG_NAME(MouseWheel)
    VELLORAN_MSG_NAME(CaptureChanged)
    VELLORAN_MSG_NAME(CtlColourEdit)
    VELLORAN_MSG_NAME(CtlColourListBox)
    VELLORAN_MSG_NAME(CtlColourButton)
    VELLORAN_MSG_NAME(CtlColourStatic)
    VELLORAN_MSG_NAME(User)
#undef VELLORAN_MSG_NAME
  }
  if (ToInt(m) > ToInt(Msg::User)) return "User+" + std::to_string(ToInt(m) - ToInt(Msg::User));
  return "Msg" + std::to_string(ToInt(m));
}

}  // namespace plat
