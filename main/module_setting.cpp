#include "main/module_setting.h"

namespace zentrafo {

namespace {
bool stemNamesAFile(std::string_view stem) {
    if (stem.empty() || stem == "." || stem == "..") return false;
    return stem.find('/') == std::string_view::npos && stem.find('\0') == std::string_view::npos;
}
} // namespace

std::string CheminProgramme(platform::Platform& p, std::string_view nom) {
    std::string folder = p.programFolder();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty()) folder = ".";
    if (folder != "/") folder += '/';
    return folder.append(nom);
}

std::string CheminIni(platform::Platform& p, std::string_view stem) {
    if (!stemNamesAFile(stem)) return {};
    return CheminProgramme(p, std::string(stem) + ".ini");
}

std::string LireIni(platform::Platform& p, std::string_view stem, std::string_view section, std::string_view key,
                    std::string_view def) {
    const std::string path = CheminIni(p, stem);
    if (path.empty()) return std::string(def);
    return platform::readIni(path, section, key, def);
}

bool EcrireIni(platform::Platform& p, std::string_view stem, std::string_view section, std::string_view key,
               std::string_view value) {
    const std::string path = CheminIni(p, stem);
    return !path.empty() && platform::writeIni(path, section, key, value);
}

platform::IniFile LitFichierIni(platform::Platform& p, std::string_view stem) {
    const std::string path = CheminIni(p, stem);
    return path.empty() ? platform::IniFile{} : platform::IniFile::load(path);
}

std::string LireIni(const platform::IniFile& doc, std::string_view section, std::string_view key,
                    std::string_view def) {
    auto v = doc.get(section, key);
    return v ? std::move(*v) : std::string(def);
}

platform::IniBatch LotIni(platform::Platform& p, std::string_view stem) {
    // An empty path cannot be opened or written, so the batch's commit fails.
    return platform::IniBatch(CheminIni(p, stem));
}

void SignaleEchecSauvegarde(platform::Platform& p, std::string_view stem, std::string_view quoi,
                            std::string_view bouton) {
    const std::string path = CheminIni(p, stem);
    p.messageBox(std::string(quoi) + (path.empty() ? std::string(".") : " dans le fichier :\n" + path) +
                     "\n\nLe fichier est resté tel qu'il était et la fenêtre garde ce qu'elle "
                     "affiche. Le dossier du programme est peut-être protégé en écriture ou le "
                     "disque plein : corrigez le problème puis cliquez de nouveau sur « " +
                     std::string(bouton) + " ».",
                 platform::MbOk | platform::MbIconInformation, "Dravello 2019");
}

} // namespace zentrafo
