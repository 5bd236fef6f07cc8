#pragma once
// The online services: the update of the published results with its confirmation
// dialog, the contest image and the banner, sending forecasts through the browser,
// the publisher mode and the web links.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "forms/control.h"
#include "online/adresses.h"
#include "platform/platform.h"

namespace zentrafo {

class Marlix;
class FREC;

class OnlineServices {
public:
    explicit OnlineServices(Marlix& w);
    ~OnlineServices();
    void design();

    // --- Results update --------------------------------------------------------------
    forms::Control* Command8 = nullptr; // "Mise à jour"
    void Command8_Click();
    // The confirmation dialog, made on first use; null while it is not loaded.
    FREC* frec() const;
    void unloadFrec();

    // Fetches `url` into `fichier` (a temporary name beside its final place, which any
    // earlier copy under that name is removed first). Stored only when a complete
    // successful response no larger than kTailleMax lies there; otherwise no file is left.
    platform::Download DownloadPage(const std::string& url, const std::string& fichier);
    // Replaces the forecast by the published file once it was downloaded and checked;
    // any failure leaves the user's file exactly as it was and says so: a failed
    // download as a connection error, a forecast (or a download) that this machine's
    // disk cannot take as a save would.
    void RECUP();
    // Start-up: the user's file left as "Zentrafo.BU" by an update that was cut short
    // goes back under its name while "Zentrafo.ini" is missing, and goes when the
    // forecast is there; the partial downloads of a killed update or image download are
    // removed.
    void RestaureSauvegarde();

    static constexpr long long kTailleMax = 1 << 20;

    // --- Contest image and banner ----------------------------------------------------
    forms::Control* Image13 = nullptr; // in Frame20; a click reloads
    forms::Control* Image14 = nullptr; // main window copy; its visibility = image in use
    forms::Control* Image21 = nullptr; // in the qualifying panel; presses act on Image14
    forms::Control* Image6 = nullptr;  // the banner
    forms::Control* Label25 = nullptr; // hover area that shows the banner
    // Downloads the contest image afresh; a failed or unreadable download leaves the
    // pictures and the last good copy as they were.
    void ChargeImage();
    void Label25_MouseMove();

    // --- Settings and publishing panel -----------------------------------------------
    forms::Control* Frame20 = nullptr;
    std::array<forms::Control*, 4> Text2{}; // password, pseudonym, own version, published version
    std::array<forms::Control*, 3> Text3{}; // messages fr, en, es
    std::array<forms::Control*, 2> Text4{}; // link caption, link target
    forms::Control* ChChargeImage = nullptr; // 1 ticked: no download at start-up
    forms::Control* Shape9 = nullptr;
    forms::Control* Label17_6 = nullptr;
    forms::Control* Command16 = nullptr; // send the forecast
    forms::Control* Command17 = nullptr; // open the file by hand
    forms::Control* Command18 = nullptr; // publisher: write the sections
    forms::Control* Command19 = nullptr; // close the panel
    std::array<forms::Control*, 2> Command20{}; // reload image, send the qualifiers' file
    void Command16_Click();
    void Command17_Click();
    void Command18_Click();
    void Command19_Click();
    void Command20_Click(int index);

    // --- Publisher mode --------------------------------------------------------------
    void Label2_MouseDown(int button, int shift);
    void Image14_MouseDown(int button, int shift);
    void Image21_MouseDown(int button, int shift) { Image14_MouseDown(button, shift); }
    void Label17_MouseDown(int shift);
    static constexpr std::string_view kCodeEditeur = "4vasq";

    // --- Web links -------------------------------------------------------------------
    forms::Control* Lablien = nullptr; // caption and, in its Tag, the address
    forms::Control* Image2 = nullptr;
    forms::Control* Image5 = nullptr;
    std::array<forms::Control*, 5> Label6{}; // only 3 ("Auteur :") and 4 (the name) exist
    forms::Control* Label9 = nullptr;
    forms::Control* Label3 = nullptr;
    std::array<forms::Control*, 2> Label4{};
    forms::Control* Label8 = nullptr;
    std::array<forms::Control*, 2> Image18{};
    std::array<forms::Control*, 3> Label22{};
    void Image2_Click();
    void Image5_Click();
    void Label6_Click(int index);
    void Label9_Click();
    void Label3_Click();
    void Label4_Click(int index);
    void Label8_Click();
    void Image18_Click(int index);
    void Label22_Click(int index);
    void Lablien_Click();

    static constexpr uint32_t kShapeLocked = 0x0000FF;
    static constexpr uint32_t kShapeUnlocked = 0x00FF00;

private:
    void designPanel();
    void designLinks();
    void EnvoieFichier(const std::string& stem, const std::string& page);
    void ouvre(const std::string& address);

    Marlix& w_;
    struct Dialog;
    std::unique_ptr<Dialog> dialog_;
};

} // namespace zentrafo
