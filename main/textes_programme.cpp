#include "main/textes_programme.h"

#include <array>
#include <string_view>

namespace zentrafo {

namespace {

using Langues = std::array<std::string_view, 3>;

// In the order of Texte.
constexpr std::array<Langues, 1> kTextes{{
    {"Imprimer dans un fichier PDF", "Print to a PDF file", "Imprimir en un archivo PDF"},
}};

} // namespace

std::string TexteProgramme(Texte t, int langue) {
    return std::string(kTextes.at(static_cast<size_t>(t))[langue >= 0 && langue <= 2 ? langue : 0]);
}

} // namespace zentrafo
