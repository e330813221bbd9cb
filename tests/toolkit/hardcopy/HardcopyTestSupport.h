#pragma once
// A recording hardcopy driver for the hardcopy tests: it answers the probe,
// sets defaults at select, writes a small file between begin and end output,
// and records every operation it receives.
#include <string>
#include <vector>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk::testing {

struct RecordedOp {
  DriverOperation op;
  int P1;
  int P2;
  friend bool operator==(const RecordedOp&, const RecordedOp&) = default;
};

class RecordingDriver : public HardcopyDriver {
 public:
  explicit RecordingDriver(int number) : number_(number) {}
  std::vector<RecordedOp> ops;
  std::vector<std::string> opened;  // names seen at begin
  int selects = 0;
  int spoolCapable = 1;
  std::string body = "PLOT";

  void Select() override {
    DriverParameters& dp = DriverParams();
    Record(DriverOperation::Select);
    if (dp.P1 == -999) {
      dp.P1 = number_;
      return;
    }
    ++selects;
    HardcopyOptionsReset();
    HardcopyOptionStore(1, 540);
    HardcopyOptionStore(2, 756);
    HardcopyOptionStore(3, 18);
    HardcopyOptionStore(12, 80);
    HardcopyOptionStore(21, 4);
    dp.spoolCapable = spoolCapable;
    std::string name = "default.plt";
    name.resize(kHardcopyNameLength, ' ');
    HardcopyFileName() = name;
    dp.driverNumber = number_;
  }
  void Output(DriverOperation op) override {
    DriverParameters& dp = DriverParams();
    Record(op);
    if (op == DriverOperation::BeginPicture) {
      dp.factorX = dp.factorY = 2.0f;
      if (dp.P2 <= 0) return;
      opened.push_back(DriverText());
      PlotFileOpen(2);
      if (PlotFileStatus() != 0) {
        Gs().hardcopyOn = 0;
        return;
      }
      PlotFileWrite(2, body, static_cast<int>(body.size()));
    } else if (op == DriverOperation::EndOutput) {
      PlotFileClose(2);
    } else {
      dp.pageDirty = 0;
    }
  }
  void Draw(DriverOperation op) override {
    Record(op);
    DriverParams().pageDirty = -1;
  }
  void Attribute(DriverOperation op) override { Record(op); }
  void Text(DriverOperation op) override { Record(op); }

  std::vector<DriverOperation> Codes() const {
    std::vector<DriverOperation> c;
    for (const RecordedOp& r : ops) c.push_back(r.op);
    return c;
  }

 private:
  void Record(DriverOperation op) { ops.push_back({op, DriverParams().P1, DriverParams().P2}); }
  int number_;
};

}  // namespace tk::testing
