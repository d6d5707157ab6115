// The cash registers' answers to a receipt: line answers, the end of the
// receipt, the drawer, and the answers to the article writes of the check.
#include "app/app.h"
#include "app/text.h"
#include "conversation/receipt_conversation.h"

namespace kestora {
namespace {

constexpr const char* kCommandError = "Doslo je do greske prilikom izvrsavanje komande.Izaberite neku opciju za nastavak rada.";
constexpr const char* kSaleFailed = "\rGreska prilikom prodaje artikla!";

const char* refusalText(int model, std::uint8_t code) {
    if (model == 1) return kCommandError;
    switch (code) {
        case 0x08: return "Doslo je do prepunjenja po racunima.Izaberite neku opciju za nastavak rada.";
        case 0x02: return "Kolicina ili iznos je izvan dozvoljenog opsega.Izaberite neku opciju za nastavak rada.";
        case 0x10: return "Morate prvo odstampati dnevni izvestaj.Izaberite neku opciju za nastavak rada.";
        default: return "Doslo je do greske prilikom prodaje. Izaberite neku opciju za nastavak rada.";
    }
}

}  // namespace

void ReceiptConversation::zeroBuffer() { app_.link.rx.RxBuffer.fill(0); }

int ReceiptConversation::choose(const std::string& title, const std::string& text) {
    app_.Dialog.defaultChoiceCaptions();
    app_.Dialog.ChoiceResult = 0;  // a dialog closed from outside chooses nothing
    app_.notice(title, text, ButtonSet::Choice);
    return app_.Dialog.ChoiceResult;
}

// Two answers arriving in one chunk are taken one after the other.
void ReceiptConversation::ComPortRxChar() {
    RxBufferState& rx = app_.link.rx;
    for (;;) {
        const int length = answerLength(rx.RxBuffer.data(), rx.RxLength);
        if (length <= 0 || rx.RxLength <= length || rx.RxBuffer[static_cast<std::size_t>(length - 1)] != 0x0D) {
            answer();
            return;
        }
        const Bytes rest(rx.RxBuffer.begin() + length, rx.RxBuffer.begin() + rx.RxLength);
        std::fill(rx.RxBuffer.begin() + length, rx.RxBuffer.end(), 0);
        rx.RxLength = length;
        answer();
        for (std::uint8_t b : rest) rx.append(b);
        rx.applyResetRule();
    }
}

void ReceiptConversation::answer() {
    MainForm& f = app_.Form1;
    ArtForm& art = app_.frmArt;
    const AnswerView a = completeAnswer(app_.link.rx);
    if (a.form == AnswerForm::None) return;
    const bool isLong = a.form == AnswerForm::Long;
    switch (f.Model) {
        case 1:
        case 5:
            if (!isLong) return;
            if (a.code == 0x74 && !art.ArtEmptyMode && !art.ArtWriteAllMode && !art.ArtWriteMode) articleCheckAnswer(a);
            else if (a.code == 0x1C) closeAnswerAB(a);
            else if (a.code == 0x1F) lineAnswerAB(a);
            return;
        case 2:
            if (isLong && a.code == 0x20) lineAnswerC(a);
            return;
        case 3: {
            if (!isLong || a.code != 0x20 || !f.ReceiptActive) return;
            const bool checking = NewArticlePending || RenumberPending || PricePending || RenumberStep2;
            if (checking && !f.HeaderFirst) articleCheckAnswer(a);
            else lineAnswerC(a);
            return;
        }
        default: return;
    }
}

void ReceiptConversation::lineAnswerAB(const AnswerView& a) {
    MainForm& f = app_.Form1;
    f.TimerKasa.setEnabled(false);
    app_.link.rx.RxLength = 0;
    f.FrameSeq += 2;
    ++f.Step;
    if (f.CmdFileActive) {
        drawerAnswerAB(a);
        return;
    }
    const std::uint8_t status = a.data[0], code = a.dataLength > 1 ? a.data[1] : 0;
    if (status != 0xFF) {
        zeroBuffer();
        SendLine();
        // After the closing payment nothing is outstanding but the end of the
        // receipt: watch for it like for any answer.
        if (!f.TimerKasa.enabled() && f.ReceiptSending) {
            AwaitingClose = 1;
            f.ReceiptRetries = 0;
            f.TimerKasa.setEnabled(true);
        }
        return;
    }
    if (code == 0x40) {
        app_.notice("Greska!", "Namestite papir i pritisnite OK.", ButtonSet::OkOnly);
        zeroBuffer();
        --f.Step;
        SendLine();
        return;
    }
    const int choice = choose("Greska!", refusalText(f.Model, code));
    zeroBuffer();
    if (choice == 3) {
        --f.Step;
        SendLine();
    } else {
        refusedReceipt(choice);
    }
}

// Nastavi (1) and Zaustavi (2) after a refusal: the receipt goes to the
// error folder; a later silence must not take a receipt branch.
void ReceiptConversation::refusedReceipt(int choice) {
    if (choice != 1 && choice != 2) return;
    MainForm& f = app_.Form1;
    f.ErrorText += kSaleFailed;
    app_.moves.PrebaciGreska(f.BonFileName, 1);
    f.ReceiptSending = 0;
    if (choice == 1) ResumeIntake();
    else StopIntake();
}

void ReceiptConversation::closeAnswerAB(const AnswerView& a) {
    MainForm& f = app_.Form1;
    f.TimerKasa.setEnabled(false);
    app_.link.rx.RxLength = 0;
    const std::uint8_t* d = a.data;  // byte 9
    const long long number = static_cast<long long>(static_cast<std::uint32_t>(d[2]) << 24 | d[3] << 16 | d[4] << 8 | d[5]);
    zeroBuffer();
    f.FrameSeq += 2;
    app_.moves.PrebaciVireo(f.BonFileName, 1, number);
    ResumeIntake();
    f.ReceiptActive = 0;
    f.ReceiptSending = 0;
    AwaitingClose = 0;
}

void ReceiptConversation::openDrawer() {
    DrawerWaiting = 1;
    app_.Form1.ReceiptRetries = 0;
    app_.commands.OtvoriFioku();
    app_.Form1.TimerKasa.setEnabled(true);
}

void ReceiptConversation::drawerAnswerAB(const AnswerView& a) {
    MainForm& f = app_.Form1;
    DrawerWaiting = 0;
    const std::string name = app_.intake.CmdFileName;
    if (a.data[0] != 0xFF) {
        app_.pause(300);
        app_.moves.Prebaci(name, 0);
        ResumeIntake();
        f.CmdFileActive = 0;
        return;
    }
    const int choice = choose("Greska!", kCommandError);
    zeroBuffer();
    if (choice == 3) {
        // The watcher took the file without regard to case; so does the retry.
        if (equalsIgnoreCase(name, "OF.sys")) openDrawer();
        return;
    }
    if (choice != 1 && choice != 2) return;
    f.ErrorText += "\rGreska prilikom izvrsavanja komande!";
    app_.moves.PrebaciGreska(name, 0);
    if (choice == 1) ResumeIntake();
    else StopIntake();
    f.CmdFileActive = 0;
}

void ReceiptConversation::archiveReceipt() {
    MainForm& f = app_.Form1;
    app_.moves.Prebaci(f.BonFileName, 1);
    ResumeIntake();
    f.ReceiptActive = 0;
    f.ReceiptSending = 0;
}

// Models 2 and 3: model 2 accepts with 0xFF, model 3 with anything but 0;
// model 3's first answer may be the header's, which starts the article check.
void ReceiptConversation::lineAnswerC(const AnswerView& a) {
    MainForm& f = app_.Form1;
    const bool m3 = f.Model == 3;
    app_.Dialog.closeFromOutside();
    f.TimerKasa.setEnabled(false);
    if (m3) f.ServiceWaiting = 0;
    app_.link.rx.RxLength = 0;
    f.FrameSeq += 2;
    if (m3 && f.HeaderFirst) {
        f.HeaderFirst = 0;
        Provera(CheckLine);
        return;
    }
    ++f.Step;
    if (m3 ? a.data[0] != 0 : a.data[0] == 0xFF) {
        zeroBuffer();
        if (CloseSent) archiveReceipt();
        else SendLine();
        return;
    }
    const int choice = choose("Greska!", kCommandError);
    zeroBuffer();
    if (choice != 3) {
        refusedReceipt(choice);
        return;
    }
    --f.Step;
    // Model 2 takes a repeated closing command as done; model 3 sends it again.
    if (CloseSent && !m3) archiveReceipt();
    else SendLine();
}

void ReceiptConversation::articleCheckAnswer(const AnswerView& a) {
    MainForm& f = app_.Form1;
    const bool m3 = f.Model == 3;
    if (m3) app_.Dialog.closeFromOutside();
    f.TimerKasa.setEnabled(false);
    f.ServiceWaiting = 0;
    app_.link.rx.RxLength = 0;
    f.FrameSeq += 2;
    if (!m3) {
        zeroBuffer();
        if (app_.setArtikli.hasCurrent()) app_.setArtikli.edit();
    } else if (a.data[0] == 0) {
        const int choice = choose("Greska!", kCommandError);
        zeroBuffer();
        if (choice == 3) {
            // The sequence byte follows FrameSeq; the check bytes follow the frame.
            FrameCopy& copy = app_.link.ServiceFrame;
            const int n = StoredFrameLength(copy);
            copy[6] = static_cast<std::uint8_t>(copy[6] + 2);
            if (n >= 12) {
                copy[static_cast<std::size_t>(n - 3)] = CRC1(n - 4, copy.data());
                copy[static_cast<std::size_t>(n - 2)] = CRC2(n - 4, copy.data());
            }
            app_.commands.resend(copy);
            f.TimerKasa.setEnabled(true);
        } else {
            refusedReceipt(choice);
        }
        return;
    }
    afterArticleWrite();
    if (!m3) app_.saveArticles();
}

// The local table follows what the device was told, then the next line.
void ReceiptConversation::afterArticleWrite() {
    MainForm& f = app_.Form1;
    ArticleTable& t = app_.setArtikli;
    const racun& line = app_.intake.ReceiptLines[static_cast<std::size_t>(CheckLine)];
    const auto insertLine = [&](const std::string& ksifra, const std::string& barkod) {
        t.append({ksifra, line.articleNumber, barkod, line.name, line.price, line.taxGroup});
        app_.saveArticles();
        ++CheckLine;
        Provera(CheckLine);
    };
    if (RenumberPending || RenumberStep2) {
        if (f.Model == 3) t.edit();
        t.post();
        const std::string ksifra = SavedKsifra, barkod = SavedBarkod;
        t.edit();
        t.editing().KSIFRA.clear();
        t.editing().BARKOD.clear();
        t.post();
        if (RenumberStep2) {
            insertLine(ksifra, barkod);
            return;
        }
        RenumberStep2 = 1;
        const Article& old = t.current();
        app_.commands.UpisArtikla(old.SIFRA.value_or(0), old.NAZIV, "0000000000000", old.PORESKA_GRUPA.value_or(0),
                                  old.CENA.value_or(0));
        return;
    }
    if (NewArticlePending) {
        insertLine(line.code, line.barcode);
        return;
    }
    if (f.Model != 3 || PricePending) {
        if (f.Model == 3) t.edit();
        t.post();
        t.edit();
        t.editing().CENA = line.price;
        t.post();
        app_.saveArticles();
        ++CheckLine;
        Provera(CheckLine);
    }
}

}  // namespace kestora
