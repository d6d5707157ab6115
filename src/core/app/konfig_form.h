#pragma once
// The configuration window (TFrmKonf). Its controls are the live settings
// that the rest of the program reads at the moment of use.
#include <string>

#include "app/config.h"
#include "app/controls.h"

namespace kestora {

class App;

inline constexpr const char* kNotSupportedText = "Izabrani model fiskalnog uredjaja ne podrzava ovu funkcionalnost!";
inline constexpr const char* kLengthNotWholeText = "Duzina za naziv mora biti ceo broj!";

class KonfigForm {
public:
    explicit KonfigForm(App& app);

    WindowState window{"", 357, 410, false};
    Edit edtIP{"edtIP"};
    Check rbIP{"rbIP", "TCP/IP"};
    Check rbCOM{"rbCOM", "COM PORT"};
    Combo CBPort{"CBPort", {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}, 1};
    Combo CBModel{"CBModel", {"Vireo", "Ostra", "Ostra(Novi)", "Orvo Tavor", "Belvia"}, 3};
    Check cbZaokruzi{"cbZaokruzi", "Zaokruzi"};
    Edit EdtBroj{"EdtBroj"};
    Edit EdtTraceBon{"EdtTraceBon"};
    Edit EdtTraceToCam{"EdtTraceToCam"};
    Edit EdtTraceFromCam{"EdtTraceFromCam"};
    Edit EdtTraceArh{"EdtTraceArh"};
    Edit EdtDuzina{"EdtDuzina"};
    Check cbTray{"cbTray", "Sistemska paleta"};
    Combo CBIsprazniBonFolder{"CBIsprazniBonFolder", {"NE", "DA", "DA, SA UPOZORENJEM"}, 2};
    Control BitBtn1{"BitBtn1", "OK"};
    Control BitBtn2{"BitBtn2", "OTKAZ"};
    // Labels beside the controls.
    Control LblIP{"LblIP", "IP adresa"};
    Control LblPort{"LblPort", "Komunikacioni port "};
    Control LblModel{"LblModel", "Model"};
    Control LblBroj{"LblBroj", "IBFM"};
    Control LblTraceBon{"LblTraceBon", "Putanja za bonove"};
    Control LblTraceToCam{"LblTraceToCam", "Putanja za komande"};
    Control LblTraceFromCam{"LblTraceFromCam", "Putanja za greske"};
    Control LblTraceArh{"LblTraceArh", "Putanja za ahivu"};
    Control LblDuzina{"LblDuzina", "Duzina za naziv "};
    Control LblIsprazni{"LblIsprazni", "Brisanje racuna"};

    // The model CBModel shows (1..5), 0 when nothing is selected.
    int chosenModel() const { return CBModel.itemIndex >= 0 ? CBModel.itemIndex + 1 : 0; }
    bool serialChosen() const { return rbCOM.checked; }
    bool tcpChosen() const { return rbIP.checked; }

    void selectCom();
    void selectIp();

    // Loading steps 1, 3 to 9 of the stored record into the controls; the
    // rules on rbIP and cbZaokruzi run as the controls change.
    void load(const ConfigRecord& record);

    // Operator events.
    void CBModelChange(int index);
    void rbIPClick();
    void rbCOMClick();
    void cbZaokruziClick(bool checked);
    void setText(Edit& edit, const std::string& text) { edit.text = text; }
    void setItem(Combo& combo, int index) { combo.itemIndex = index; }
    void cbTrayClick(bool checked) { cbTray.checked = checked; }

    void BitBtn1Click();  // OK
    void BitBtn2Click();  // OTKAZ

    // The record the controls describe (OK step 4); nullopt when the name
    // length is not a whole number.
    std::optional<ConfigRecord> recordFromControls() const;

private:
    void refuse();
    void apply(const ConfigRecord& record);  // built-in state, no rules
    App& app_;
};

}  // namespace kestora
