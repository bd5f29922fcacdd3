// 准备绘制曲线: the curve steps the tank temperatures and reads the tube outlet
// temperature of each interval, so the tube flow must be an input and the outlet
// temperature the quantity the tube-side balance solves. A design sized for a given
// outlet temperature has it the other way round (the flow is the balance's result).
#include "calc/Curve.h"
#include "fields/FieldOps.h"
#include "fields/ModeEnums.h"
#include "fields/UiPort.h"

namespace pelmora {

void Curve::SBPrepCurveClick(Component*) {
  if (computing_) return;
  if (ModeOf<Phase>(*f_.PhiD) != Phase::Single || ModeOf<VesselType>(*f_.RGEType) > VesselType::StorageTank) {
    f_.Port().ShowMessage(kPrepareMode);
    return;
  }
  // Without a flow the balance could not give the outlet temperature back: nothing is
  // cleared.
  if (Blank(*f_.WiD)) {
    f_.Port().ShowMessage(kPrepareNoFlow);
    return;
  }
  // As the tool button 清除 does: the flow keeps its value and becomes an input (the
  // question answered No), the outlet temperature is emptied (answered Yes); both are
  // plain enabled inputs afterwards.
  for (EditD* e : {f_.WiD, f_.Ti2D}) {
    e->SetColor(colors::Window);
    e->SetEnabled(true);
    e->SetReadOnly(false);
  }
  f_.Ti2D->SetText("");
  // The recalculation solves the tube-side balance for the outlet temperature, from the
  // same flow, so the design (heat, area) is the one it was.
  f_.RunHandler("MaoDExit", f_.WiD);
}

}  // namespace pelmora
