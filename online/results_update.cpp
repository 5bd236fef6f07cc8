// The results update and the contest image: the two downloads of the program.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "forms/secondary.h"
#include "main/marlix.h"
#include "main/module_setting.h"
#include "online/fichier_publie.h"
#include "online/frec.h"
#include "online/online_services.h"
#include "platform/files.h"

namespace zentrafo {

namespace {

// The results arrive in the user's own folder, which takes them even where the program's
// folder is closed to new files; they are read once and the file goes at once. That folder is
// the one the start judged, whatever stands at its path since.
std::string resultatsTelecharges(Marlix& w) { return w.reglages.store().place().at("Zentrafo.ini.part"); }

// A download's file goes only where it is the user's own: whatever another account (or root,
// for a user, and the user, for root) put at its name stays.
void retire(const std::string& fichier) {
    if (platform::isOwnFile(fichier)) std::remove(fichier.c_str());
}

} // namespace

struct OnlineServices::Dialog {
    explicit Dialog(Marlix& w)
        : frec(w.platform, [&w] {
              auto d = std::make_unique<FREC>(w);
              d->Form_Load();
              return d;
          }) {}
    forms::Secondary<FREC> frec;
};

OnlineServices::OnlineServices(Marlix& w) : w_(w), dialog_(std::make_unique<Dialog>(w)) {}
OnlineServices::~OnlineServices() = default;

FREC* OnlineServices::frec() const { return dialog_->frec.loaded(); }
void OnlineServices::unloadFrec() { dialog_->frec.unload(); }

void OnlineServices::Command8_Click() { dialog_->frec.show(true); }

platform::Download OnlineServices::DownloadPage(const std::string& url, const std::string& fichier) {
    retire(fichier);
    const platform::Download received = w_.platform.download(url, fichier);
    struct stat st{};
    const bool present = ::stat(fichier.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (received == platform::Download::Stored && present && st.st_size <= kTailleMax) return received;
    retire(fichier);
    return received == platform::Download::NotStored ? received : platform::Download::Failed;
}

void OnlineServices::RECUP() {
    platform::Platform& p = w_.platform;
    p.setBusy(true);
    const std::string url = AdresseServeur() + "/Zentrafo.ini";
    const bool dossierPrive = w_.reglages.store().place().own();
    const std::string part = dossierPrive ? resultatsTelecharges(w_) : CheminProgramme(p, "Zentrafo.ini.part");
    std::optional<std::string> recu;
    const platform::Download telechargement = DownloadPage(url, part);
    if (telechargement == platform::Download::Stored) recu = platform::readWholeFile(part);
    retire(part);
    // The user's file is touched only once the download is known to be results.
    if (telechargement == platform::Download::NotStored) {
        // What the disk refused is the download's own file: the user is sent to its folder.
        p.setBusy(false);
        SignaleTelechargementNonEnregistre(p, w_.LangueCourante, platform::shown(part), Command8->caption());
        return;
    }
    if (!recu || !EstResultats(*recu)) {
        p.setBusy(false);
        p.messageBox("Erreur de connexion !", platform::MbOk | platform::MbIconInformation, "Dravello 2019");
        return;
    }
    if (!RemplaceFichier(*recu, CheminIni(p, "Zentrafo"), CheminProgramme(p, "Zentrafo.BU"))) {
        p.setBusy(false);
        SignaleEchecSauvegarde(p, w_.LangueCourante, "Zentrafo", Texte::ResultatsNonEnregistres,
                               Command8->caption());
        return;
    }
    w_.ResultatsRecus = true;
    w_.fichier.ChargeFichier("Zentrafo");
    w_.fichier.Command3->setEnabled(true);
    w_.ChargementFini = true;
    w_.groups.RecalculeTout();
    if (Image14->visible()) ChargeImage();
    w_.reglages.set("FirstUse", "1");
    Command8->setFontBold(false);
    Command8->setBackColor(0xFFFFFF);
    p.yield();
    p.setBusy(false);
}

void OnlineServices::RestaureSauvegarde() {
    platform::Platform& p = w_.platform;
    // A run as root in another account's home removes nothing, and puts nothing back.
    if (!w_.reglages.store().place().mayLook()) return;
    const std::string fichier = CheminIni(p, "Zentrafo");
    if (!fichier.empty()) RestaureFichier(fichier, CheminProgramme(p, "Zentrafo.BU"));
    // What a killed update or image download left.
    for (const std::string& part :
         {resultatsTelecharges(w_), CheminProgramme(p, "Zentrafo.ini.part"), CheminProgramme(p, "imgtmp.gif.part")})
        platform::removeLeftover(part, w_.reglages.store().place());
}

void OnlineServices::ChargeImage() {
    const std::string image = CheminProgramme(w_.platform, "imgtmp.gif");
    const std::string recu = image + ".part";
    // The last good picture stays on disk and on screen unless the new one can be drawn.
    if (DownloadPage(AdresseServeur() + "/imvosk.php", recu) != platform::Download::Stored) return;
    int width = 0, height = 0;
    if (!w_.platform.pictureReadable(recu, &width, &height) || std::rename(recu.c_str(), image.c_str()) != 0) {
        retire(recu);
        return;
    }
    std::error_code ec;
    const std::string picture = std::filesystem::absolute(image, ec).string();
    // Set afresh even under the same name, so the windows draw the new content.
    Image13->setPicture("");
    Image13->setPicture(picture);
    Image14->setPicture("");
    Image14->setPicture(Image13->picture());
    // Unstretched, each image takes the picture's own size (15 twips to the pixel).
    for (forms::Control* c : {Image13, Image14})
        if (!c->stretch() && width > 0 && height > 0) {
            c->setWidth(width * 15);
            c->setHeight(height * 15);
        }
}

} // namespace zentrafo
