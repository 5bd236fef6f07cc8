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
    static constexpr const char* kCounters[4] = {"Matches joués", "Matches joués", "", "Qualifications :"};
    for (int i = 0; i < 4; ++i) {
        Label24[static_cast<size_t>(i)] = &f.add(Kind::Label, "Label24", i, FraElim, 9000, 600 + i * 300, 3000, 255,
                                                 kCounters[i]);
    }
    Label24[2]->setVisible(false);
    Command22_5 = &f.add(Kind::Button, "Command22", 5, FraElim, 9000, 2000, 1000, 375, "Trim");
    Command22_5->setVisible(false);
    Command23 = &f.add(Kind::Button, "Command23", -1, FraElim, 15500, 8900, 900, 735, "Sauver");
    Command24 = &f.add(Kind::Button, "Command24", -1, FraElim, 16500, 8900, 900, 735, "Fermer");
    Command26 = &f.add(Kind::Button, "Command26", -1, nullptr, 20000, 15, 1245, 915, "Qualifications");
    Command26->setVisible(false);
}

// Built with the qualifying competition; until then start-up's calls do nothing.
void QualifiersStage::ChargeElim() {}
void QualifiersStage::Command27_Click() {}

} // namespace zentrafo
