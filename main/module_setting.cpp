#include "main/module_setting.h"

#include <filesystem>
#include <optional>

#include "platform/files.h"

namespace zentrafo {

namespace {
bool stemNamesAFile(std::string_view stem) {
    if (stem.empty() || stem == "." || stem == "..") return false;
    return stem.find('/') == std::string_view::npos && stem.find('\0') == std::string_view::npos;
}
} // namespace

std::string DossierProgramme(platform::Platform& p) {
    std::string folder = p.programFolder();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder.empty() ? "." : folder;
}

std::string CheminProgramme(platform::Platform& p, std::string_view nom) {
    std::string folder = DossierProgramme(p);
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

namespace {
// Why the failure happened, naming the folder at fault.
std::string TexteCause(const platform::SaveFailure& echec, int langue) {
    const auto rang = static_cast<int>(Texte::CauseInconnue) + static_cast<int>(echec.why);
    return TexteProgramme(static_cast<Texte>(rang), langue, {echec.folder});
}

// What the write of this very file said of its failure, and which folder is at fault: a
// linked file's own, the settings' where the old content could not be kept, or one on its
// way; where it said nothing, an unknown cause in `dossier`.
platform::SaveFailure EchecDe(const std::string& path, const std::string& dossier) {
    const platform::SaveFailure& echec = platform::lastSaveFailure();
    if (echec.file == path && !echec.folder.empty()) return echec;
    return {platform::SaveFailure::Folder, platform::Why::Unknown, path, dossier};
}
} // namespace

platform::IniFile LitFichierAffiche(platform::Platform& p, int langue, std::string_view stem) {
    const std::string path = CheminIni(p, stem);
    std::optional<platform::IniFile> doc = path.empty() ? platform::IniFile{} : platform::IniFile::open(path);
    if (doc) return std::move(*doc);
    p.messageBox(TexteProgramme(Texte::LectureImpossible, langue,
                                {path, TexteCause(EchecDe(path, DossierProgramme(p)), langue)}),
                 platform::MbOk | platform::MbIconInformation, "Dravello 2019");
    return {};
}

void SignaleEchecSauvegarde(platform::Platform& p, int langue, std::string_view stem, Texte quoi,
                            std::string_view bouton) {
    std::string path = CheminIni(p, stem);
    // A stem that names no file is shown as it was asked for.
    if (path.empty()) path = CheminProgramme(p, std::string(stem) + ".ini");
    const platform::SaveFailure cause = EchecDe(path, DossierProgramme(p));
    const Texte texte = cause.cause == platform::SaveFailure::Folder  ? Texte::EchecSauvegarde
                        : cause.cause == platform::SaveFailure::InUse ? Texte::EchecFichierUtilise
                                                                      : Texte::EchecCopie;
    p.messageBox(TexteProgramme(texte, langue,
                                {TexteProgramme(quoi, langue), path, TexteCause(cause, langue), SansCoupure(bouton)}),
                 platform::MbOk | platform::MbIconInformation, "Dravello 2019");
}

void SignaleTelechargementNonEnregistre(platform::Platform& p, int langue, const std::string& fichier,
                                        std::string_view bouton) {
    const std::string dossier = std::filesystem::path(fichier).parent_path().string();
    p.messageBox(TexteProgramme(Texte::TelechargementNonEnregistre, langue,
                                {dossier, SansCoupure(bouton), TexteCause(EchecDe(fichier, dossier), langue)}),
                 platform::MbOk | platform::MbIconInformation, "Dravello 2019");
}

void SignaleReglagesNonGardes(platform::Platform& p, int langue) {
    p.messageBox(TexteProgramme(Texte::ReglagesNonGardes, langue, {TexteCause(platform::lastSaveFailure(), langue)}),
                 platform::MbOk | platform::MbIconInformation, "Dravello 2019");
}

} // namespace zentrafo
