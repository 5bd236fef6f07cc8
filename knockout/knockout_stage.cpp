#include "knockout/knockout_stage.h"

#include "forms/form.h"
#include "main/marlix.h"

namespace zentrafo {

void KnockoutStage::design() {}
void KnockoutStage::PropageHuitiemes() {}
void KnockoutStage::PropageQuarts() {}
void KnockoutStage::PropageDemi() {}

} // namespace zentrafo
