#pragma once
// The device operations: each builds one frame and sends it by its
// discipline. Outcomes arrive later as answers.
#include <string>

#include "intake/receipt_file.h"
#include "link/frame.h"

namespace kestora {

class App;

class Commands {
public:
    explicit Commands(App& app) : app_(app) {}

    // Writes to the link chosen in the configuration window at this moment:
    // the serial port when "COM PORT" is selected, else the TCP connection.
    void Write_(const Bytes& bytes);

    // The send disciplines. pauseMs is the pause before the write (0: none).
    void sendReceipt(const WorkArea& frame, int pauseMs = 0);
    void sendService(const WorkArea& frame, int pauseMs = 0);
    void sendPlain(const WorkArea& frame);

    // A CommandFrame for the configured model with the current sequence byte.
    WorkArea commandFrame(std::uint8_t code, const Bytes& data = {}) const;
    // The receive buffer's contents zeroed, RxLength kept (two printer commands).
    void clearContentsOnly();

    // Resends a stored copy unchanged, by the route of its first sending.
    void resend(const FrameCopy& copy);
    void resendServiceFrameText();

    // Receipt commands.
    void Prijava(const racun& header);
    void ProdajaArt(const racun& line);
    void PonistiArt(const racun& line);
    void Placanje(const racun& line);
    void KrajRacuna();
    void StornirajRacun();
    void PrijavaOperatera();

    // Article-memory commands.
    void UpisArtikla(int number, const std::string& name, const std::string& barcode, int taxGroup, double price);
    void CitanjeArtikla(int number);
    void CitajSledeci();
    void IsprazniStampac(int first, int last);
    void IsprazniTotal();
    // Model 2 article mode: on (no watchdog), off, continue; written alone as text.
    void ArticleModeOn();
    void ArticleModeOff();
    void ArticleModeContinue();
    // Model 3: the articles window's sign-on, sequence byte 1.
    void PrijavaArtikli();

    // Service commands.
    void OtvoriFioku();
    void FreeTextBegin();
    void FreeTextPrint(const std::string& text);
    void FreeTextEnd();
    void LcdShow(const std::string& text, int line);
    void Izvestaj(int kind, const std::string& from, const std::string& to);
    void GetStatus();
    void DatumVreme();
    void IzlazPrinter();
    void PodesiVreme(int year, int month, int day, int hour, int minute, int second);

private:
    void write(const WorkArea& frame);  // printer through Write_, cash registers to the serial port
    App& app_;
};

}  // namespace kestora
