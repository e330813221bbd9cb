#include "platform/controls/Controls_p.h"
namespace plat::controls {
LResult UpDownProc(Hwnd h, Msg m, WParam w, LParam l) { return DefWindowProc(h, m, w, l); }
LResult TrackbarProc(Hwnd h, Msg m, WParam w, LParam l) { return DefWindowProc(h, m, w, l); }
LResult ProgressProc(Hwnd h, Msg m, WParam w, LParam l) { return DefWindowProc(h, m, w, l); }
LResult TabProc(Hwnd h, Msg m, WParam w, LParam l) { return DefWindowProc(h, m, w, l); }
}
