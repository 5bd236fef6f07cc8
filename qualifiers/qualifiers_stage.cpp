#include "qualifiers/qualifiers_stage.h"

#include "forms/form.h"
#include "main/marlix.h"

namespace zentrafo {

using forms::Kind;

void QualifiersStage::design() {
    forms::Form& f = w_.form;
    // Parked outside the client area until start-up places it.
    FraElim = &f.add(Kind::Frame, "FraElim", -1, nullptr, 20000, 930, 17560, 9885, "Qualifications");
    FraElim->setVisible(false);
    for (int i = 0; i < 6; ++i) {
        NEElim[static_cast<size_t>(i)] = &f.add(Kind::TextBox, "NEElim", i, FraElim, 240, 600 + i * 300, 2000, 285);
        NEElim[static_cast<size_t>(i)]->setVisible(false);
    }
    Frame22 = &f.add(Kind::Frame, "Frame22", -1, FraElim, 2600, 600, 6000, 2400, "Matches de barrages");
}

} // namespace zentrafo
