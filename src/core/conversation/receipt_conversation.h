#pragma once
// A receipt on a cash register (models 1, 2, 3, 5), from the checked file
// to the archive: the articles resolved against the local table (written
// into the device where needed), the lines sent one per answer, refusals
// and silences put to the operator.
#include <cstdint>
#include <string>

#include "link/answer.h"

namespace kestora {

class App;
struct racun;

class ReceiptConversation {
public:
    explicit ReceiptConversation(App& app) : app_(app) {}

    // Flags and values shared with the answer handling.
    int CheckLine = 0;
    int NextFreeArticle = 0;
    int NewArticlePending = 0, RenumberPending = 0, PricePending = 0, RenumberStep2 = 0;
    std::string SavedKsifra, SavedBarkod;
    int CloseSent = 0;
    // Models 1 and 5: the closing payment was accepted and the end-of-receipt
    // answer is awaited under the watchdog.
    int AwaitingClose = 0;
    // Models 1 and 5: the drawer frame is out and its answer awaited under
    // the watchdog.
    int DrawerWaiting = 0;

    // The dispatch after a receipt passed its checks.
    void submit();
    void Provera(int index);
    void Send();
    void SendLine();
    void ResumeIntake();
    void StopIntake();
    // The serial receive event of the cash registers: every complete answer
    // in the buffer, in order.
    void ComPortRxChar();
    // The answer watchdog's tick.
    void TimerKasaTimer();
    // Models 1 and 5: the drawer command of "OF.sys", watched for its answer.
    void openDrawer();

private:
    void answer();  // one complete answer (or none) in the buffer
    void lineAnswerAB(const AnswerView& a);
    void closeAnswerAB(const AnswerView& a);
    void drawerAnswerAB(const AnswerView& a);
    void lineAnswerC(const AnswerView& a);
    void articleCheckAnswer(const AnswerView& a);
    void afterArticleWrite();
    void proveraPrinter(int index);
    // The endings.
    void archiveReceipt();
    void archiveNoted(const std::string& name, long long number, bool withNumber);
    void refusedReceipt(int choice);
    int choose(const std::string& title, const std::string& text);
    // The watchdog's branches.
    void storedReceiptSilence();
    void rebuiltReceiptSilence();
    bool waitedOut();
    void closeSilence();
    void drawerSilence();
    void serviceSilence();
    void rebuildLine();
    void zeroBuffer();

    App& app_;
};

}  // namespace kestora
