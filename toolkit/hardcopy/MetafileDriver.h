#pragma once
// Hardcopy driver 11: the picture recorded as a Windows metafile (plain or
// behind the placeable header) or an enhanced metafile, to a file or, with
// a blank name, to the clipboard; drawn by the system printer driver's
// drawing aimed at the metafile. Beside it the 20 enhanced-metafile slots
// (created, drawn on as the screen driver's surface, loaded, played, copied
// and deleted) and the player of metafile files and the clipboard.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw/Canvas.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/MetafileRecord.h"

namespace tk {

class XXWMF : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;
};

/// The enhanced metafile's description: "JQX metafile driver", the title.
std::string MetafileDescription(std::string_view title);

/// The reference device of enhanced metafiles: the printer of the current
/// job when its names are known, else the screen at 96 pixels an inch.
EmfReference MetafileReferenceDevice();

/// The image layer's target 11: the canvas an image is drawn on before it
/// goes into the open metafile as a bitmap; null when there is none.
plat::Canvas* MetafileImageTarget(int target, std::optional<plat::Rect>& clip);
/// Operation 38 of the metafile driver: the image of KIND from NAME over
/// the logical rectangle, recorded as one bitmap.
void MetafileImage(int kind, int left, int top, int right, int bottom, std::string_view name,
                   int& status, int& systemError);

// The metafile slots, addressed 0-19 (the graphics core's slots 1-20).
void EmfCreate(int slot, int width, int height, int& outWidth, int& outHeight);
void EmfDelete(int slot);
void EmfLoad(int slot, std::int64_t fileSize, int& error, int& systemError, std::string_view name);
void EmfPlay(int slot, int left, int top, int right, int bottom);
void EmfCopyToFile(int slot, int& error, int& systemError, std::string_view name);
void EmfSurfaceSetup(int slot, int width, int height, int& error);
/// Plays the metafile of KIND (1 placeable, 2 enhanced, other plain) from
/// NAME, or with SOURCE 1 the clipboard's enhanced metafile, into the
/// rectangle of TARGET (0 screen, 10 printer page, 11 the open metafile).
/// ERROR: 0, 1 not opened, 2 bad data, 1094, 1095.
void MetafilePlay(int kind, int left, int top, int right, int bottom, int target, int& error,
                  std::string_view name, int source);

/// The closed bytes of slot 0-19 (closing a recording slot); empty when free.
std::vector<std::uint8_t> EmfSlotBytes(int slot);
/// The picture of slot 1-20 drawn at its size (the field images' copy).
std::shared_ptr<plat::Surface> EmfSlotImage(int number);
/// Joins the slots to the graphics core (select as a drawable, destroy).
void ConnectMetafileSlots();
/// Forgets the driver's open metafile and every slot (tests).
void MetafileDriverReset();

}  // namespace tk
