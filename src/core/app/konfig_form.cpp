#include "app/konfig_form.h"

#include "app/app.h"
#include "app/models.h"
#include "app/text.h"

namespace kestora {

KonfigForm::KonfigForm(App& app) : app_(app) {
    // The controls start in the state of the built-in record.
    apply(ConfigRecord::builtIn());
}

void KonfigForm::apply(const ConfigRecord& r) {
    EdtTraceBon.text = r.Bon;
    EdtTraceToCam.text = r.Komanda;
    EdtTraceFromCam.text = r.Greska;
    EdtTraceArh.text = r.Arhiva;
    EdtDuzina.text = std::to_string(*r.Duzina);
    CBPort.itemIndex = *r.Port - 1;
    CBModel.itemIndex = *r.Model - 1;
    selectCom();
    cbZaokruzi.checked = false;
    cbZaokruzi.enabled = chosenModel() == 1;
    cbTray.checked = false;
    CBIsprazniBonFolder.itemIndex = *r.IsprazniBonFolder - 1;
    EdtBroj.text = r.IBFM;
    edtIP.text = r.IP;
}

void KonfigForm::selectCom() {
    rbCOM.checked = true;
    rbIP.checked = false;
}

void KonfigForm::selectIp() {
    rbIP.checked = true;
    rbCOM.checked = false;
}

void KonfigForm::load(const ConfigRecord& r) {
    const auto inRange = [](const std::optional<int>& v, int lo, int hi) { return v && *v >= lo && *v <= hi; };
    // 1.
    EdtTraceBon.text = r.Bon;
    EdtTraceToCam.text = r.Komanda;
    EdtTraceFromCam.text = r.Greska;
    EdtTraceArh.text = r.Arhiva;
    if (r.Duzina) EdtDuzina.text = std::to_string(*r.Duzina);
    // 3, 4.
    if (inRange(r.Port, 1, 8)) CBPort.itemIndex = *r.Port - 1;
    if (inRange(r.Model, 1, 5)) CBModel.itemIndex = *r.Model - 1;
    // 5. Checking rbIP runs its rule.
    if (r.Konekcija == 0) rbCOMClick();
    else if (r.Konekcija == 1) rbIPClick();
    // 6. Checking cbZaokruzi runs its rule.
    if (r.Zaokruzi == 0) cbZaokruzi.checked = false;
    else if (r.Zaokruzi == 1) cbZaokruziClick(true);
    cbZaokruzi.enabled = chosenModel() == 1;
    // 7.
    if (r.Tray == 0) cbTray.checked = false;
    else if (r.Tray == 1) cbTray.checked = true;
    // 8.
    if (inRange(r.IsprazniBonFolder, 1, 3)) CBIsprazniBonFolder.itemIndex = *r.IsprazniBonFolder - 1;
    // 9.
    EdtBroj.text = r.IBFM;
    edtIP.text = r.IP;
}

void KonfigForm::refuse() { app_.noticeKeepSet("Greska", kNotSupportedText); }

void KonfigForm::CBModelChange(int index) {
    CBModel.itemIndex = index;
    const int model = chosenModel();
    if (model != 4) selectCom();
    if (model != 1) {
        cbZaokruzi.checked = false;
        cbZaokruzi.enabled = false;
    } else {
        cbZaokruzi.enabled = true;
    }
}

void KonfigForm::rbIPClick() {
    selectIp();
    if (!modelInfo(chosenModel()).tcpAllowed) {
        app_.sync();
        refuse();
        selectCom();
    }
}

void KonfigForm::rbCOMClick() { selectCom(); }

void KonfigForm::cbZaokruziClick(bool checked) {
    cbZaokruzi.checked = checked;
    if (checked && !modelInfo(chosenModel()).roundingAllowed) {
        app_.sync();
        refuse();
        cbZaokruzi.checked = false;
    }
}

std::optional<ConfigRecord> KonfigForm::recordFromControls() const {
    const auto length = parseInt(EdtDuzina.text);
    if (!length) return std::nullopt;
    ConfigRecord r;
    r.Bon = EdtTraceBon.text;
    r.Komanda = EdtTraceToCam.text;
    r.Greska = EdtTraceFromCam.text;
    r.Arhiva = EdtTraceArh.text;
    r.Duzina = *length;
    r.Port = CBPort.itemIndex + 1;
    r.Model = CBModel.itemIndex + 1;
    r.IBFM = EdtBroj.text;
    r.IP = trim(edtIP.text);
    r.Konekcija = serialChosen() ? 0 : 1;
    r.Zaokruzi = cbZaokruzi.checked ? 1 : 0;
    r.Tray = cbTray.checked ? 1 : 0;
    r.IsprazniBonFolder = CBIsprazniBonFolder.itemIndex + 1;
    return r;
}

void KonfigForm::BitBtn1Click() {
    MainForm& main = app_.Form1;
    // 1.
    for (char c : EdtBroj.text)
        if (c < '0' || c > '9') {
            app_.noticeKeepSet("GRESKA!", "Broj kase mora biti numericki!");
            return;
        }
    // 2.
    if (tcpChosen() && trim(edtIP.text).empty()) {
        app_.noticeKeepSet("Greska", "Morate uneti IP adresu!");
        return;
    }
    // 3.
    for (const Edit* e : {&EdtTraceBon, &EdtTraceToCam, &EdtTraceFromCam, &EdtTraceArh, &EdtDuzina, &EdtBroj})
        if (e->text.empty()) {
            app_.noticeKeepSet("GRESKA!", "Svi parametri moraju biti definisani!");
            return;
        }
    // 4. A length that is not a whole number: nothing is written.
    const auto record = recordFromControls();
    if (!record) {
        app_.noticeKeepSet("GRESKA!", kLengthNotWholeText);
        return;
    }
    main.NameLength = *record->Duzina;
    // 5.
    app_.configFile.save(*record);
    // 6, 7.
    main.IbfmText = record->IBFM;
    main.PortText = std::to_string(*record->Port);
    main.Model = *record->Model;
    main.IpText = record->IP;
    app_.link.setPortNameFrom(main.PortText);
    // 8.
    if (serialChosen()) {
        if (app_.link.serialOpen()) app_.link.closeSerial();
        app_.link.openSerial();
        if (!app_.link.serialOpen()) {
            app_.noticeKeepSet("Greska", "Port nije otvoren! Proverite kablove.");
            return;
        }
    }
    // 9.
    if (tcpChosen()) {
        if (app_.link.tcpConnected()) app_.link.disconnectTcp();
        app_.pause(1000);
        try {
            app_.link.connectTcp(main.IpText);
        } catch (const std::exception&) {
            app_.noticeKeepSet("GRESKA", "Problem u uspostavljanju konekcije! Proverite kablove");
            return;
        }
    }
    // 10 to 12.
    main.placeModelButtons();
    main.Podesi();
    main.BtnStart.enabled = main.BitBtn1.enabled = main.BtnIzvestaji.enabled = true;
    window.showing = false;
    app_.ports.view->closeWindow(WindowId::Konfig);
}

void KonfigForm::BitBtn2Click() {
    window.showing = false;
    app_.ports.view->closeWindow(WindowId::Konfig);
}

}  // namespace kestora
