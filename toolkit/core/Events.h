#pragma once
// The event loop: the application takes one event at a time with WEventWait
// (blocking) or WEventPeek (never blocking). Window procedures turn window
// messages into the one current event with StoreEvent; the wait ends after
// the message that stored it. Exposes and resizes that happen while nobody
// waits are held per window and delivered first by the next wait.
#include <array>
#include <cstdint>
#include <functional>

#include "platform/window/Messages.h"

namespace tk {

/// Event types (the type returned beside the record).
enum EventType : std::int32_t {
  kEventNone = -1,  // WEventPeek: nothing waiting
  kEventKey = 1,
  kEventMenu = 2,
  kEventPushButton = 3,
  kEventButtonDown = 4,
  kEventButtonUp = 5,
  kEventMouseMove = 6,
  kEventExpose = 7,
  kEventResize = 8,
  kEventClose = 9,
  kEventFieldChanged = 10,
  kEventTabChanged = 11,
  kEventFrameButton = 12,
  kEventTimer = 13,
  kEventToolbarEnter = 14,
  kEventViewScrolled = 15,
  kEventDoubleClick = 16,
};
constexpr int kEventTypeCount = 16;
/// Dialog graphics fields store their events as 100 + the type.
constexpr int kFieldEventOffset = 100;

/// Value3 of key and mouse events.
enum EventSource : std::int32_t { kSourceClient = 0, kSourceField = 1, kSourceBitmapView = 2 };

/// The twelve items of an event.
struct EventRecord {
  std::int32_t window = 0;
  std::int32_t value1 = 0;
  std::int32_t value2 = 0;
  std::int32_t value3 = 0;
  std::int32_t value4 = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  float exposedWidth = 0;
  float exposedHeight = 0;
  float graphicsX = 0;
  float graphicsY = 0;
  std::int32_t time = 0;
};

/// Blocks until an event exists.
void WEventWait(int& type, EventRecord& record);
/// Takes the next event when one exists; else type -1 with items 1-7 and 12 -1.
void WEventPeek(int& type, EventRecord& record);
/// Switches type 1-16 on (non-zero) or off (0); other types are ignored.
void WEventTypeSwitch(int type, int value);
/// The switch of type 1-16; 0 for other types.
void EventTypeEnabled(int type, int& result);
/// Starts (interval above 0) a timer on the main client area (target 1) or
/// frame (other targets), or stops ID on both (interval 0 or below).
void WEventTimerSet(int intervalMs, int id = 1, int target = 0);

/// Called by window procedures: T the type (100 + type for dialog graphics
/// fields), K a button number or flag, W and L the message's parameters, H
/// the window the message went to.
void StoreEvent(int type, int k, plat::WParam w, plat::LParam l, plat::Hwnd h);
/// Stores a dialog field-changed event whose items the caller has made (a
/// grid's selection, paste and clear events); the time is that of the
/// message being handled. With YIELD nothing is stored while an earlier
/// field-changed event waits to be delivered. A field change stored by the
/// same message before it is kept, this one held for the next wait.
void StoreMadeFieldEvent(const EventRecord& items, bool yield);
/// Called by the client procedure after a paint or size message for H.
void DeferEvent(plat::Hwnd h, plat::Msg m);
/// Converts the pixel positions of an event into window and graphics units.
void EventRecordFinish(int type, EventRecord& record);

/// Graphics units of pixel centre (PX, PY) (PY counted up from the bottom of
/// the client area) of window WINDOW's bitmap viewer: the bitmap's size
/// stands in for the drawable's, shifted by the viewer's scroll positions.
void ViewerPixelToUnits(double px, double py, int window, float& gx, float& gy);

/// The key code of virtual key VK with modifier class 0, 20 (Shift) or 40 (Ctrl).
int KeyCode(int vk, int modifierClass);
/// The mouse key state (1 Ctrl, 2 Shift, 4 left, 8 middle, 16 right) of a kMk* word.
int MouseKeyState(plat::WParam keyState);

/// Start values of the switches; held events cleared (the main window's
/// opening and shut-down).
void ResetEventState();

/// Hook for the dialog manager: called for types 3, 10 and 11 with the
/// dialog's record handle so it can fill the dialog items. Empty until
/// dialogs exist.
struct DialogEventLink {
  std::function<bool(int type, plat::WParam w, plat::LParam l, plat::Hwnd h, EventRecord& out)>
      fill;
};
void SetDialogEventLink(DialogEventLink link);
const DialogEventLink& GetDialogEventLink();

/// Whether a wait or poll is running its message loop. A field change that
/// arrives while that loop already has its event is held and delivered by
/// the next wait or poll.
bool EventWaitRunning();

/// Takes each message the wait has taken before it is dispatched; true when
/// it consumed the message (accelerators, keyboard handling of modeless
/// dialogs). Empty until menus and dialogs install one.
using EventMessageFilter = std::function<bool(plat::Message&)>;
void SetEventMessageFilter(EventMessageFilter filter);

}  // namespace tk
