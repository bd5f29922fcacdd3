#pragma once
// Selection aids of the calculation window: the pick lists beside the pitch, roughness
// and expansion-coefficient fields, and the page "管道系列" over the tube catalogue with
// taking a size into the tube diameters, the maintenance run and the user's own sizes.
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "fields/Catalogue.h"
#include "select/PickList.h"
#include "select/PipeCatalogue.h"

namespace pelmora {

class Selection {
 public:
  explicit Selection(TFormPelmora& form);

  // Reads the catalogue: the user's own copy when there is one, else the file in the
  // program folder. A missing or damaged file is reported; the page and the expansion
  // list stay empty and everything else works.
  void OpenCatalogue();
  // Reads it unless it has been read already; the commands that use it call this first.
  void EnsureCatalogue() {
    if (catalogPath.empty()) OpenCatalogue();
  }

  PipeCatalogue catalogue;
  std::string catalogPath;  // the file read (empty until opened)

  void SBP3Click(Component* sender);
  void SBDLTClick(Component* sender);
  void SBP11Click(Component* sender);
  void SBDiClick(Component* sender);
  void Button3Click(Component* sender);
  void Button2Click(Component* sender);
  void BPipeAddClick(Component* sender);
  void BPipeDelClick(Component* sender);

  // The catalogue row shown in grid row `row` (-1 for none), and the grid row of a
  // catalogue row: the page shows the series sorted by outer diameter and wall.
  int PipeAt(int row) const;
  int RowOf(size_t pipe) const;

  // Values and names of the expansion list (rows without a coefficient left out). The
  // catalogue's values hold at 20 °C, which each name says.
  void ExpandList(std::vector<std::string>& values, std::vector<std::string>& names) const;
  // A first row of the expansion list (its value and name), offered when the vessel
  // fluid is known (set by the application); nothing when there is none.
  std::function<std::optional<std::pair<std::string, std::string>>()> firstExpansion;
  static constexpr const char* kCatalogueTemperature = "（20 ℃）";

  // The buttons for the user's own sizes on the page "管道系列".
  Button* BPipeAdd = nullptr;
  Button* BPipeDel = nullptr;

 private:
  void RefreshGrid();
  // Writes `changed` (one transaction, atomic replace) and makes it the catalogue.
  bool Store(PipeCatalogue changed);
  std::string SavePath() const;

  TFormPelmora& f_;
  std::vector<size_t> order_;  // grid row -> index into catalogue.pipes
};

}  // namespace pelmora
