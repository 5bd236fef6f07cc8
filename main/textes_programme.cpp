#include "main/textes_programme.h"

#include <array>

namespace zentrafo {

namespace {

using Langues = std::array<std::string_view, 3>;

// In the order of Texte. French puts a non-breaking space (\u00A0) before ":" ";" "!" "?"
// and inside « »: no line of a message starts with a lone ":".
constexpr std::array<Langues, 23> kTextes{{
    {"Imprimer dans un fichier PDF", "Print to a PDF file", "Imprimir en un archivo PDF"},
    {"Le pronostic n'a pas pu être enregistré", "The forecast could not be saved",
     "El pronóstico no se pudo guardar"},
    {"Les qualifications n'ont pas pu être enregistrées", "The qualifiers could not be saved",
     "La clasificación no se pudo guardar"},
    {"Les informations publiées n'ont pas pu être enregistrées", "The published information could not be saved",
     "La información publicada no se pudo guardar"},
    {"Les résultats téléchargés n'ont pas pu être enregistrés", "The downloaded results could not be saved",
     "Los resultados descargados no se pudieron guardar"},
    // The file may already hold the new content (a rename went through, the folder's
    // flush did not), so nothing is claimed of the file, only of the window.
    {"%1 dans le fichier\u00A0:\n%2\n\nLa fenêtre garde ce qu'elle affiche. %3\nCorrigez le problème puis cliquez "
     "de nouveau sur «\u00A0%4\u00A0».",
     "%1 to the file:\n%2\n\nThe window keeps what it shows. %3\nFix that, then click “%4” again.",
     "%1 en el archivo:\n%2\n\nLa ventana conserva lo que muestra. %3\nCorrija el problema y vuelva a pulsar «%4»."},
    {"%1 dans le fichier\u00A0:\n%2\n\nLa fenêtre garde ce qu'elle affiche. Un autre programme utilise ce "
     "fichier\u00A0: fermez-le, ou attendez qu'il ait fini, puis cliquez de nouveau sur «\u00A0%4\u00A0».",
     "%1 to the file:\n%2\n\nThe window keeps what it shows. Another program is using that file: close it, or "
     "wait until it is done, then click “%4” again.",
     "%1 en el archivo:\n%2\n\nLa ventana conserva lo que muestra. Otro programa está usando ese archivo: "
     "ciérrelo, o espere a que termine, y vuelva a pulsar «%4»."},
    {"%1 dans le fichier\u00A0:\n%2\n\nLa fenêtre garde ce qu'elle affiche. Pendant qu'il enregistre, le "
     "programme garde l'ancien contenu dans le dossier des réglages. %3\nCorrigez le problème puis cliquez de "
     "nouveau sur «\u00A0%4\u00A0».",
     "%1 to the file:\n%2\n\nThe window keeps what it shows. While it saves, the program keeps the old content "
     "in the settings folder. %3\nFix that, then click “%4” again.",
     "%1 en el archivo:\n%2\n\nLa ventana conserva lo que muestra. Mientras guarda, el programa conserva el "
     "contenido anterior en la carpeta de configuración. %3\nCorrija el problema y vuelva a pulsar «%4»."},
    // The forecast is touched only once the download is whole, so it is as it was.
    {"Les résultats téléchargés n'ont pas pu être enregistrés dans le dossier\u00A0:\n%1\n\nLe pronostic n'a pas "
     "été modifié. %3\nCorrigez le problème puis cliquez de nouveau sur «\u00A0%2\u00A0».",
     "The downloaded results could not be saved in the folder:\n%1\n\nThe forecast was not changed. %3\nFix that, "
     "then click “%2” again.",
     "Los resultados descargados no se pudieron guardar en la carpeta:\n%1\n\nEl pronóstico no se ha modificado. "
     "%3\nCorrija el problema y vuelva a pulsar «%2»."},
    {"Les réglages (langue, affichage, pseudonyme, mot de passe) ne pourront pas être gardés après la fermeture "
     "du programme. %1",
     "The settings (language, display, pseudonym, password) cannot be kept once the program closes. %1",
     "La configuración (idioma, visualización, seudónimo, contraseña) no se podrá conservar al cerrar el "
     "programa. %1"},
    // The window then shows none of the file: the user must not take that for its content.
    {"Le fichier n'a pas pu être lu\u00A0:\n%1\n\nLa fenêtre n'en montre rien, et il est laissé tel quel. %2",
     "The file could not be read:\n%1\n\nThe window shows nothing of it, and it is left as it is. %2",
     "No se pudo leer el archivo:\n%1\n\nLa ventana no muestra nada de él, y se deja tal cual. %2"},
    {"Le dossier est peut-être protégé en écriture, ou son disque plein\u00A0:\n%1",
     "The folder may be write-protected, or its disk full:\n%1",
     "La carpeta puede estar protegida contra escritura, o su disco lleno:\n%1"},
    {"L'écriture est refusée dans le dossier (dossier, fichier ou disque protégé en écriture)\u00A0:\n%1",
     "Writing is refused in the folder (a write-protected folder, file or disk):\n%1",
     "La escritura se rechaza en la carpeta (carpeta, archivo o disco protegidos contra escritura):\n%1"},
    {"Le disque du dossier est plein, ou une limite de taille de fichier est atteinte\u00A0:\n%1",
     "The folder's disk is full, or a file size limit was reached:\n%1",
     "El disco de la carpeta está lleno, o se alcanzó un límite de tamaño de archivo:\n%1"},
    {"D'autres comptes peuvent modifier le dossier\u00A0:\n%1\nRetirez-leur ce droit, par exemple avec "
     "«\u00A0chmod\u00A0go-w\u00A0» sur ce dossier.",
     "Other accounts may change the folder:\n%1\nTake that right from them, for example with “chmod\u00A0go-w” on "
     "that folder.",
     "Otras cuentas pueden modificar la carpeta:\n%1\nQuíteles ese derecho, por ejemplo con «chmod\u00A0go-w» en "
     "esa carpeta."},
    {"Le dossier appartient à un autre compte\u00A0:\n%1\nLe dossier des réglages doit être le vôtre, et ceux qui le "
     "contiennent le vôtre ou celui de l'administrateur, chacun fermé aux autres comptes ou protégé par le bit "
     "sticky comme /tmp.",
     "The folder belongs to another account:\n%1\nThe settings folder must be yours, and the folders that hold it "
     "yours or the administrator's, each closed to other accounts or sticky as /tmp is.",
     "La carpeta pertenece a otra cuenta:\n%1\nLa carpeta de configuración debe ser suya, y las que la contienen "
     "suyas o del administrador, cada una cerrada a las demás cuentas o protegida por el bit sticky como /tmp."},
    {"Lancé en administrateur, le programme ne garde aucun réglage dans le dossier personnel d'un autre "
     "compte\u00A0:\n%1\nLancez-le sans «\u00A0sudo\u00A0», ou avec «\u00A0sudo\u00A0-H\u00A0».",
     "Run as administrator, the program keeps no settings in another account's home:\n%1\nStart it without "
     "“sudo”, or with “sudo\u00A0-H”.",
     "Ejecutado como administrador, el programa no guarda ninguna configuración en la carpeta personal de otra "
     "cuenta:\n%1\nInícielo sin «sudo», o con «sudo\u00A0-H»."},
    {"Le fichier est protégé en écriture, ou appartient à un autre compte\u00A0:\n%1",
     "The file is write-protected, or another account's:\n%1",
     "El archivo está protegido contra escritura, o pertenece a otra cuenta:\n%1"},
    {"Le fichier est protégé en lecture\u00A0:\n%1", "The file is read-protected:\n%1",
     "El archivo está protegido contra lectura:\n%1"},
    {"Le fichier dépasse, ou dépasserait, les 4\u00A0Mo que lit le programme\u00A0:\n%1",
     "The file is, or would be, larger than the 4\u00A0MB the program reads:\n%1",
     "El archivo supera, o superaría, los 4\u00A0MB que lee el programa:\n%1"},
    {"Ce n'est pas un fichier (un dossier, un tube ou un périphérique)\u00A0:\n%1",
     "It is not a file (a folder, a pipe or a device):\n%1",
     "No es un archivo (una carpeta, una tubería o un dispositivo):\n%1"},
    {"Un autre compte a mis un lien à la place du fichier, dans un dossier que d'autres comptes peuvent "
     "modifier\u00A0:\n%1",
     "Another account put a link in the file's place, in a folder other accounts may change:\n%1",
     "Otra cuenta puso un enlace en lugar del archivo, en una carpeta que otras cuentas pueden modificar:\n%1"},
    {"Le dossier n'existe pas, ou plus\u00A0:\n%1", "The folder does not exist, or no longer:\n%1",
     "La carpeta no existe, o ya no existe:\n%1"},
}};

} // namespace

std::string TexteProgramme(Texte t, int langue, std::initializer_list<std::string_view> valeurs) {
    const std::string_view modele = kTextes.at(static_cast<size_t>(t))[langue >= 0 && langue <= 2 ? langue : 0];
    std::string out;
    // One pass over the model: a value holding "%2" (a path may) is never read again.
    for (size_t i = 0; i < modele.size(); ++i) {
        const char rang = i + 1 < modele.size() ? modele[i + 1] : '\0';
        if (modele[i] == '%' && rang >= '1' && rang <= '9' && static_cast<size_t>(rang - '1') < valeurs.size()) {
            out += valeurs.begin()[rang - '1'];
            ++i;
        } else {
            out += modele[i];
        }
    }
    return out;
}

std::string SansCoupure(std::string_view texte) {
    std::string out;
    for (char c : texte) c == ' ' ? out.append("\u00A0") : out.append(1, c);
    return out;
}

} // namespace zentrafo
