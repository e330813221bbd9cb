#pragma once
// A printer for the grid tests: grid printing's device context drawing on
// one recorded context, counting documents and pages. Install() puts it into
// the grid's printing hooks with a printer installed.
#include <memory>
#include <string>
#include <vector>

#include "tests/toolkit/hardcopy/RecordedDrawContext.h"
#include "toolkit/grid/GridPrinting.h"

namespace tk::testing {

struct FakeGridPrinter {
  std::vector<std::string> documents;
  int pages = 0;
  RecordedContext page;

  void Install() {
    GridPrinting().printerInstalled = [] { return 1; };
    GridPrinting().printerContext = [this](const std::string&, const std::string&, bool, int) {
      return std::unique_ptr<GridPrinterContext>(std::make_unique<Context>(*this));
    };
  }
  /// The texts drawn, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const Call& c : page.calls)
      if (c.what.rfind("text:", 0) == 0) t.push_back(c.what.substr(5));
    return t;
  }

 private:
  struct Context : GridPrinterContext {
    explicit Context(FakeGridPrinter& p) : printer(p) {}
    int ResolutionX() const override { return 300; }
    int ResolutionY() const override { return 300; }
    int PhysicalWidth() const override { return 2480; }
    int PhysicalHeight() const override { return 3508; }
    int OffsetX() const override { return 0; }
    int OffsetY() const override { return 0; }
    void StartDoc(std::string_view name) override { printer.documents.emplace_back(name); }
    plat::DrawContext* StartPage() override {
      ++printer.pages;
      return &printer.page;
    }
    void EndPage() override {}
    bool EndDoc() override { return true; }
    FakeGridPrinter& printer;
  };
};

}  // namespace tk::testing
