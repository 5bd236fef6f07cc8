#include "main/langage.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <vector>

#include "forms/form.h"
#include "main/marlix.h"
#include "main/module_setting.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;
using forms::Kind;

namespace {

// A number field of a language file: blanks anywhere do not count, then the leading
// number; no number reads 0.
double number(std::string_view field) {
    std::string packed;
    packed.reserve(field.size());
    for (char c : field)
        if (c != ' ' && c != '\t' && c != '\n') packed += c;
    return platform::val(packed);
}

// What a load remembers from one record to the next.
struct ReadState {
    double entry = 0;      // the last text record's entry number, rounded
    std::string index;     // the last control record's index field
};

void applyText(Marlix& w, const std::vector<std::string_view>& f, ReadState& st) {
    if (f.size() > 2) st.entry = std::nearbyint(number(f[2])); // the default rounding is half to even
    if (f.size() < 2 || !(st.entry >= 0 && st.entry <= 100)) return;
    w.MSG[static_cast<size_t>(st.entry)] = std::string(f[1]);
}

void applyControl(const std::vector<std::string_view>& f, ReadState& st, forms::Form& fenetre) {
    if (f.size() > 4) {
        st.index = std::string(f[4]);
    } else if (!st.index.empty()) {
        return;
    }
    const auto* elements = fenetre.array(std::string(f[0]));
    if (!elements) return;
    const bool anyIndex = st.index.empty();
    const double wanted = anyIndex ? 0 : number(st.index);
    // A handler run by a text change may add controls; work on a copy.
    std::vector<Control*> targets;
    for (const auto& [idx, c] : *elements)
        if (anyIndex || (idx >= 0 && static_cast<double>(idx) == wanted)) targets.push_back(c);
    const std::string caption = f.size() > 1 ? std::string(f[1]) : std::string();
    const std::string text = f.size() > 2 ? std::string(f[2]) : std::string();
    const std::string tip = f.size() > 3 ? std::string(f[3]) : std::string();
    for (Control* c : targets) {
        if (f.size() > 1) c->setProperty("Caption", caption);
        if (f.size() > 2) c->setProperty("Text", text);
        if (f.size() > 3) c->setProperty("ToolTipText", tip);
    }
}

void closingSteps(Marlix& w) {
    w.online.Label6[4]->setCaption("Pellomir");
    w.views.Command9->setCaption(w.MSG[2]);
    w.views.Command10->setCaption(w.MSG[1]);
    w.views.Command1->setCaption(w.MSG[1]);
}

} // namespace

void AppliqueLangue(Marlix& w, std::string_view contenu, forms::Form& fenetre) {
    const std::string text = platform::decodeTextFile(contenu);
    std::string_view body = text;

    ReadState st;
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find_first_of("\r\n", start);
        std::string_view line = body.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end == std::string_view::npos) {
            start = body.size();
        } else {
            start = end + 1;
            if (body[end] == '\r' && start < body.size() && body[start] == '\n') ++start;
        }
        const auto fields = platform::split(line, '\\');
        if (line.substr(0, 3) == "MSG") {
            applyText(w, fields, st);
        } else {
            applyControl(fields, st, fenetre);
        }
    }
    closingSteps(w);
}

void ChargeLangue(Marlix& w, std::string_view fichier, forms::Form& fenetre) {
    // No save writes a language file: another program's lock on one holds nothing.
    auto bytes = platform::readPlainFile(CheminProgramme(w.platform, fichier));
    if (!bytes) {
        w.platform.messageBox("Fichier absent.", platform::MbOk, "");
        return;
    }
    AppliqueLangue(w, *bytes, fenetre);
}

void Langage::design() {
    forms::Form& f = w_.form;
    for (int i = 0; i < 3; ++i) {
        Control& flag = f.add(Kind::Image, "lang", i, nullptr, 15600 + 500 * i, 150, 420, 285);
        flag.setPicture(std::string(kDrapeaux[static_cast<size_t>(i)]));
        flag.setStretch(true);
        flag.on(forms::Ev::Click, [this, i](Control&, forms::EventArgs&) { lang_Click(i); });
        lang[static_cast<size_t>(i)] = &flag;
    }
    // Beside the message's first line.
    Shape3 = &f.add(Kind::Shape, "Shape3", -1, nullptr, 10600, 90, 150, 150);
    Shape3->setBackColor(forms::rgb(255, 0, 0));
    Shape3->setVisible(false);
    // From the window's top down to the goal total: three lines of its bold text, also at
    // the reduced display's smaller zoom and font.
    Label10 = &f.add(Kind::Label, "Label10", -1, nullptr, 10800, 0, 2550, 630);
    Label10->setForeColor(forms::rgb(192, 0, 0));
    Label10->setFontBold(true);
}

void Langage::AfficheMessage(const std::string& message) {
    Label10->setCaption(message);
    Shape3->setVisible(!message.empty());
}

void Langage::lang_Click(int index) {
    if (index < 0 || index > 2) return;
    ChargeLangue(w_, kFichiers[static_cast<size_t>(index)], w_.form);
    w_.LangueCourante = index;
    AfficheMessage(LireIni(w_.platform, w_.fichier.Text1->text(), "Mess", std::to_string(index)));
    w_.reglages.set("langue", std::to_string(index));
    w_.qualifiers.Frame22->setCaption(w_.qualifiers.Label17_3->caption());
}

} // namespace zentrafo
