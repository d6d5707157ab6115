#include "screenshots.h"

#include <QDir>

#include "gui_front_end.h"

namespace kestora::gui {

int writeScreenshots(GuiFrontEnd& fe, const QString& folder) {
    App& a = fe.app();
    QDir().mkpath(folder);
    // The windows as activation leaves them, without opening a link.
    a.Form1.setCaptions();
    a.Form1.window.caption = kProductCaption;
    a.uputstvo.window.caption = kProductCaption;
    a.FrmKonf.load(a.configFile.load());
    a.Form1.placeModelButtons();
    fe.sync();

    int written = 0;
    const auto shoot = [&](QWidget* w, const char* name) {
        w->show();
        if (w->grab().save(QDir(folder).filePath(QString(name) + ".png"))) ++written;
        w->hide();
    };
    shoot(fe.form1(), "TForm1");
    fe.dialog()->present({"GRESKA", "Problem u otvaranju porta.", ButtonSet::Choice, {"Nastavi", "Zaustavi", "Ponovi"}});
    shoot(fe.dialog(), "TDialog");
    shoot(fe.articles(), "TfrmArt");
    shoot(fe.konfig(), "TFrmKonf");
    shoot(fe.reports(), "TfrmIzvestaji");
    fe.instructions()->setWindowTitle(kProductCaption);
    shoot(fe.instructions(), "TUputstvo");
    return written;
}

}  // namespace kestora::gui
