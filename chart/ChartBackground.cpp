#include "chart/ChartBackground.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(ChartBackground, ChartComponent)

} // namespace vq
