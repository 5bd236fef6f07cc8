#include "knockout/knockout_stage.h"

#include "forms/form.h"
#include "main/marlix.h"

namespace zentrafo {

void KnockoutStage::design() {
    // Interim: the bracket's real design replaces this.
    Frame9 = &w_.form.add(forms::Kind::Frame, "Frame9", -1, nullptr, 20000, 960, 17550, 10215);
    Frame9->setVisible(false);
    for (int i = 0; i < 16; ++i) Huit[static_cast<size_t>(i)] = &w_.form.add(forms::Kind::TextBox, "Huit", i, Frame9);
}
void KnockoutStage::PropageHuitiemes() {}
void KnockoutStage::PropageQuarts() {}
void KnockoutStage::PropageDemi() {}

} // namespace zentrafo
