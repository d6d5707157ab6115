#include "reports/izvestaji_form.h"

namespace kestora {

void IzvestajiForm::setCaptions() {
    window.caption = "Izvestaji";
    BtnDnevni.caption = "DNEVNI IZVESTAJ";
    BtnPresekStanja.caption = "PRESEK STANJA";
    BtnPeriodicni.caption = "PERIODICNI IZVESTAJ";
    BtnArtikliFlash.caption = "IZVESTAJ PO ARTIKLIMA";
    BtnArtikliBezPon.caption = "IZVESTAJ ARTIKLI BEZ PON";
    BtnOdeljenja.caption = "IZVESTAJ PO ODELJENJIMA";
    BtnOperateri.caption = "IZVESTAJ PO KASIRIMA";
}

}  // namespace kestora
