// The answer watchdog: a silence is resent up to three times, then put to
// the operator (receipts) or given up with a message (everything else).
#include "app/app.h"
#include "conversation/receipt_conversation.h"

namespace kestora {
namespace {

constexpr const char* kBreak = "Doslo je do prekida u kominikaciji.Izaberite neku opciju za nastavak rada.";
constexpr const char* kSaleFailed = "\rGreska prilikom prodaje artikla!";
constexpr int kResends = 2;  // a frame is resent while its counter is at most this

}  // namespace

// "Nastavi" after a break takes the receipt as printed: it goes to the
// archive, which keeps no description, so the note must not stay behind for
// the next file's description.
void ReceiptConversation::archiveNoted(const std::string& name, long long number, bool withNumber) {
    if (withNumber) app_.moves.PrebaciVireo(name, 1, number);
    else app_.moves.Prebaci(name, 1);
    app_.Form1.ErrorText.clear();
}

void ReceiptConversation::TimerKasaTimer() {
    MainForm& f = app_.Form1;
    f.TimerKasa.setEnabled(false);
    const int m = f.Model;
    // Model 3's header, sent before the article check, is watched like any receipt frame.
    if ((f.ReceiptSending || (m == 3 && f.HeaderFirst)) && (m == 2 || m == 3 || m == 4)) storedReceiptSilence();
    else if (f.ReceiptSending && AwaitingClose) closeSilence();
    else if (f.ReceiptSending) rebuiltReceiptSilence();
    else if (DrawerWaiting) drawerSilence();
    else serviceSilence();
}

// Models 2, 3 and 4 resend the stored copy of the receipt frame.
void ReceiptConversation::storedReceiptSilence() {
    MainForm& f = app_.Form1;
    if (f.ReceiptRetries <= kResends) {
        app_.link.rx.clear();
        ++f.ReceiptRetries;
        app_.commands.resend(app_.link.ReceiptFrame);
        f.TimerKasa.setEnabled(true);
        return;
    }
    app_.Dialog.closeFromOutside();
    const int choice = choose("Greska!", kBreak);
    app_.link.rx.clear();
    if (choice == 3) {
        app_.commands.resend(app_.link.ReceiptFrame);
        f.TimerKasa.setEnabled(true);
        return;
    }
    if (choice != 1 && choice != 2) return;
    f.ErrorText += kSaleFailed;
    if (choice == 1) {
        archiveNoted(f.BonFileName, 0, false);
        ResumeIntake();
    } else {
        app_.moves.PrebaciGreska(f.BonFileName, 1);
        StopIntake();
        if (f.Model == 4) f.BtnIzvestaji.enabled = true;
    }
    f.ReceiptSending = 0;
    f.HeaderFirst = 0;
}

// Models 1 and 5 keep no copy: the frame of the awaited line is built again
// with the same sequence byte, and the counter goes on.
void ReceiptConversation::rebuildLine() {
    MainForm& f = app_.Form1;
    const racun& line = app_.intake.ReceiptLines[static_cast<std::size_t>(f.Step)];
    const int retries = f.ReceiptRetries;
    switch (line.lineType) {
        case 100: app_.commands.Prijava(line); break;
        case 200: app_.commands.ProdajaArt(line); break;
        case 300:
        case -1: app_.commands.Placanje(line); break;
        default: return;  // nothing is sent and the watchdog stays off
    }
    f.ReceiptRetries = retries;
}

void ReceiptConversation::rebuiltReceiptSilence() {
    MainForm& f = app_.Form1;
    if (f.ReceiptRetries <= kResends) {
        app_.link.rx.clear();
        ++f.ReceiptRetries;
        rebuildLine();
        return;
    }
    const int choice = choose("Greska!", kBreak);
    app_.link.rx.clear();
    const racun& line = app_.intake.ReceiptLines[static_cast<std::size_t>(f.Step)];
    if (choice == 1 || choice == 2) {
        f.ErrorText += kSaleFailed;
        if (choice == 1) archiveNoted(f.BonFileName, 0, true);
        else app_.moves.PrebaciGreska(f.BonFileName, 1);
        if (choice == 1) ResumeIntake();
        else StopIntake();
        f.ReceiptSending = 0;
    } else if (choice == 3) {
        if (line.lineType == 100) app_.commands.Prijava(line);
        else if (line.lineType == 200) rebuildLine();
        else if (line.lineType == 300 || line.lineType == -1) app_.commands.Placanje(line);
    }
}

// Waiting without resending: true once the usual number of silences has
// passed and the operator is to decide; otherwise the watchdog runs again.
bool ReceiptConversation::waitedOut() {
    MainForm& f = app_.Form1;
    if (f.ReceiptRetries > kResends) return true;
    ++f.ReceiptRetries;
    f.TimerKasa.setEnabled(true);
    return false;
}

// Models 1 and 5 after the closing payment: nothing to resend, only the end
// of the receipt to wait for.
void ReceiptConversation::closeSilence() {
    MainForm& f = app_.Form1;
    if (!waitedOut()) return;
    const int choice = choose("Greska!", kBreak);
    app_.link.rx.clear();
    if (choice == 3) {
        f.ReceiptRetries = 0;
        f.TimerKasa.setEnabled(true);
        return;
    }
    if (choice != 1 && choice != 2) return;
    AwaitingClose = 0;
    f.ErrorText += kSaleFailed;
    if (choice == 1) {
        archiveNoted(f.BonFileName, 0, true);
        ResumeIntake();
    } else {
        app_.moves.PrebaciGreska(f.BonFileName, 1);
        StopIntake();
    }
    f.ReceiptSending = 0;
    f.ReceiptActive = 0;
}

// Models 1 and 5, "OF.sys": a drawer opened twice is worse than a late
// answer, so the frame is not resent; after the usual silences the operator
// decides.
void ReceiptConversation::drawerSilence() {
    MainForm& f = app_.Form1;
    if (!waitedOut()) return;
    const int choice = choose("Greska!", kBreak);
    app_.link.rx.clear();
    if (choice == 3) {
        openDrawer();
        return;
    }
    if (choice != 1 && choice != 2) return;
    DrawerWaiting = 0;
    f.ErrorText += "\rGreska prilikom izvrsavanja komande!";
    app_.moves.PrebaciGreska(app_.intake.CmdFileName, 0);
    if (choice == 1) ResumeIntake();
    else StopIntake();
    f.CmdFileActive = 0;
}

void ReceiptConversation::serviceSilence() {
    MainForm& f = app_.Form1;
    if (!f.ServiceWaiting) return;
    if (f.ServiceRetries <= kResends) {
        ++f.ServiceRetries;
        app_.link.rx.clear();
        if (f.Model == 2) app_.commands.resendServiceFrameText();
        else app_.commands.resend(app_.link.ServiceFrame);
        f.TimerKasa.setEnabled(true);
        return;
    }
    f.ServiceRetries = 0;
    app_.link.ServiceFrameText.clear();
    f.ClearTotalsPending = f.CmdFileActive = f.ReportPending = 0;
    ArtForm& art = app_.frmArt;
    for (Control* b : {&art.BtnPromeni, &art.BtnPonisti, &art.BtnWrite, &art.BtnKasaRead, &art.BtnKasaWrite, &art.BtnKWriteAll,
                       &art.BtnKEmpty, &art.BtnFileWrite, &art.BtnFileRead, &art.BtnSync})
        b->enabled = true;
    app_.noticeKeepSet("Greska", "Doslo je do greske u komunikaciji!");
    if (f.Model == 4 && app_.link.ServiceFrame[7] == 0x0D) f.BtnStart1Click();
    app_.link.ServiceFrame.fill(0);
}

}  // namespace kestora
