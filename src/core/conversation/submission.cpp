// From a checked receipt to its first frame: the dispatch, the article
// resolution against the local table, and the start of the receipt.
#include <cmath>

#include "app/app.h"
#include "app/models.h"
#include "app/text.h"
#include "conversation/receipt_conversation.h"

namespace kestora {
namespace {

bool samePrice(const std::optional<double>& stored, double price) {
    return stored && std::fabs(*stored - price) < 1e-9;
}

std::string padded13(int number) {
    std::string s = std::to_string(number);
    return s.size() < 13 ? std::string(13 - s.size(), ' ') + s : s;
}

}  // namespace

void ReceiptConversation::submit() {
    MainForm& f = app_.Form1;
    ArticleTable& t = app_.setArtikli;
    if (f.Model == 4) {
        f.BitBtn1.enabled = f.BtnIzvestaji.enabled = false;
        f.ReceiptActive = 1;
        const char* stop = t.isEmpty() ? "Lokalna baza nije sinhronizovana sa bazom u fiskalnom stampacu.Uradite citanje artikala iz fiskalnog stampaca."
                           : t.count() >= 60000 ? "Napunili ste bazu artikala. Uradite praznjenje fiskalnog stampaca!"
                                                : nullptr;
        if (stop) {
            f.BtnStart1Click();
            app_.notice("GRESKA", stop, ButtonSet::OkOnly);
            return;
        }
        t.last();
        NextFreeArticle = t.current().SIFRA.value_or(0) + 1;
        CloseSent = 0;
        f.ReceiptSending = 1;
        app_.commands.Prijava(app_.intake.ReceiptLines[0]);
        return;
    }
    f.BitBtn1.enabled = false;
    f.ReceiptActive = 1;
    CheckLine = 1;
    AwaitingClose = 0;
    if (f.Model == 3) {
        f.HeaderFirst = 1;
        app_.commands.Prijava(app_.intake.ReceiptLines[0]);
        return;
    }
    Provera(CheckLine);
}

void ReceiptConversation::Provera(int index) {
    if (app_.Form1.Model == 4) {
        proveraPrinter(index);
        return;
    }
    MainForm& f = app_.Form1;
    ArticleTable& t = app_.setArtikli;
    NewArticlePending = RenumberPending = PricePending = RenumberStep2 = 0;
    CheckLine = index;
    // Lines that need nothing written are passed over within this call.
    for (;;) {
        if (t.isEmpty()) {
            f.BtnStart1Click();
            app_.notice("GRESKA", "Lokalna baza nije sinhronizovana sa bazom u kasi.Uradite citanje iz kase.", ButtonSet::OkOnly);
            return;
        }
        if (static_cast<int>(t.count()) == modelInfo(f.Model).capacity) {
            f.BtnStart1Click();
            app_.notice("GRESKA", "Napunili ste bazu artikala. Uraditi praznjenje kase!", ButtonSet::OkOnly);
            return;
        }
        t.last();
        const std::optional<int> lastSifra = t.current().SIFRA;
        int next = lastSifra.value_or(0) + 1;
        if (f.Model == 1 && next == 704) next = 705;

        racun& line = app_.intake.ReceiptLines[static_cast<std::size_t>(CheckLine)];
        if (line.lineType != 200) {
            Send();
            return;
        }
        const std::string name = trim(line.name);
        if (f.Model == 2) {
            const auto same = [&](const Article& a) {
                return trim(a.NAZIV) == name && a.PORESKA_GRUPA == line.taxGroup && samePrice(a.CENA, line.price);
            };
            if (!t.findMatch(line.code, same, true)) {
                f.ErrorText += "\rPokusana prodaja artikla koji se ne nalazi u bazi kase!";
                app_.moves.PrebaciGreska(f.BonFileName, 1);
                f.Timer.setEnabled(true);
                f.BtnStart.enabled = true;
                return;
            }
            line.articleNumber = t.current().SIFRA.value_or(0);
            ++CheckLine;
            continue;
        }
        if (t.findCandidate(line.code)) {
            const Article& c = t.current();
            if (trim(c.NAZIV) == name && c.PORESKA_GRUPA == line.taxGroup) {
                line.articleNumber = c.SIFRA.value_or(0);
                if (samePrice(c.CENA, line.price)) {
                    ++CheckLine;
                    continue;
                }
                if (f.Model == 3) PricePending = 1;
                app_.commands.UpisArtikla(line.articleNumber, line.name, c.BARKOD, line.taxGroup, line.price);
                return;
            }
            RenumberPending = 1;
            SavedKsifra = c.KSIFRA;
            SavedBarkod = c.BARKOD;
            line.articleNumber = next;
            app_.commands.UpisArtikla(next, line.name, SavedBarkod, line.taxGroup, line.price);
            return;
        }
        NewArticlePending = 1;
        line.articleNumber = lastSifra ? next : 1;
        if (!Is_Number(line.code)) line.barcode = padded13(line.articleNumber);
        app_.commands.UpisArtikla(line.articleNumber, line.name, line.barcode, line.taxGroup, line.price);
        return;
    }
}

// The printer resolves one line per answer; its answers call back here.
void ReceiptConversation::proveraPrinter(int index) {
    NewArticlePending = RenumberPending = PricePending = RenumberStep2 = 0;
    racun& line = app_.intake.ReceiptLines[static_cast<std::size_t>(index)];
    if (line.lineType != 200) {
        app_.commands.Placanje(line);
        return;
    }
    ArticleTable& t = app_.setArtikli;
    if (t.findCandidate(line.code)) {
        const Article& c = t.current();
        if (trim(c.NAZIV) == trim(line.name) && c.PORESKA_GRUPA == line.taxGroup) {
            line.articleNumber = c.SIFRA.value_or(0);
            app_.commands.ProdajaArt(line);
            return;
        }
        line.articleNumber = NextFreeArticle++;
        RenumberStep2 = 1;
        app_.commands.UpisArtikla(c.SIFRA.value_or(0), c.NAZIV, "", c.PORESKA_GRUPA.value_or(0), c.CENA.value_or(0));
        return;
    }
    line.articleNumber = NextFreeArticle++;
    line.barcode = Is_Number(line.code) ? line.code : padded13(line.articleNumber);
    app_.commands.ProdajaArt(line);
}

void ReceiptConversation::Send() {
    CloseSent = 0;
    app_.Form1.ReceiptSending = 1;
    app_.Form1.Step = 0;
    app_.commands.Prijava(app_.intake.ReceiptLines[0]);
}

void ReceiptConversation::SendLine() {
    MainForm& f = app_.Form1;
    const racun& line = app_.intake.ReceiptLines[static_cast<std::size_t>(f.Step)];
    switch (line.lineType) {
        case 100: app_.commands.Prijava(line); break;
        case 200: app_.commands.ProdajaArt(line); break;
        case 300: app_.commands.Placanje(line); break;
        case -1:
            if (f.Model == 1 || f.Model == 5) {
                app_.commands.Placanje(line);
            } else {
                CloseSent = 1;
                app_.commands.KrajRacuna();
            }
            break;
        default: break;
    }
}

void ReceiptConversation::ResumeIntake() {
    MainForm& f = app_.Form1;
    f.Timer.setEnabled(true);
    f.BtnStart.enabled = true;
    f.BitBtn1.enabled = false;
}

// Stopped as by the Stop button, without closing the port.
void ReceiptConversation::StopIntake() {
    MainForm& f = app_.Form1;
    f.setStoppedButtons();
    f.BtnStart.enabled = true;
}

}  // namespace kestora
