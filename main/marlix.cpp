#include "main/marlix.h"

namespace zentrafo {

Marlix::Marlix(platform::Platform& p) : platform(p), groups(*this), knockout(*this) {
    form.caption = "Dravello Féminine 2019";
    groups.design();
    knockout.design();
}

void Marlix::Form_Load() {
    CouleurVainqueur = forms::rgb(35, 170, 215);
    CouleurNonQualifie = forms::rgb(175, 16, 22);
    groups.colourRows();
    ChargementFini = true;
    groups.RecalculeTout();
}

} // namespace zentrafo
