#include "articles/art_form.h"

#include "app/app.h"

namespace kestora {

std::vector<Control*> ArtForm::actionButtons() {
    return {&BtnPromeni, &BtnPonisti, &BtnWrite, &BtnKasaRead, &BtnKasaWrite,
            &BtnKWriteAll, &BtnKEmpty, &BtnFileWrite, &BtnFileRead, &BtnSync};
}

void ArtForm::setCaptions() {
    window.caption = "Artikli";
    BtnPromeni.caption = "OK";
    BtnPonisti.caption = "Otkaz";
    BtnWrite.caption = "Upis";
    BtnKasaRead.caption = "Citanje iz kase";
    BtnKasaWrite.caption = "Upis iz grida";
    BtnFileWrite.caption = "Upis u fajl";
    BtnFileRead.caption = "Citanje iz fajla";
    BtnKWriteAll.caption = "Upis svih artikala";
    BtnKEmpty.caption = "Isprazni kasu";
}

void ArtForm::resetModes() { ArtWriteMode = ArtWriteAllMode = ArtEmptyMode = ArtReadMode = ArtEmptyProbe = 0; }

void ArtForm::FormActivate() {
    ArtAbort = 0;
    for (Control* b : actionButtons())
        if (b != &BtnSync) b->enabled = true;
    resetModes();
    if (app_.Form1.Model == 4) BtnSync.enabled = true;
}

void ArtForm::FormClose() {
    ArtAbort = 1;
    window.showing = false;
}

void ArtForm::BtnPromeniClick() {
    FormClose();
    app_.ports.view->closeWindow(WindowId::Articles);
}

}  // namespace kestora
