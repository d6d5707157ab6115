#include "windows.h"

#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>

namespace kestora::gui {

namespace {
template <class W>
W* place(QWidget* parent, int x, int y, int w, int h) {
    auto* widget = new W(parent);
    widget->setGeometry(x, y, w, h);
    return widget;
}
}  // namespace

void CoreDialog::reject() {
    if (onCloseRequest) app.entry(onCloseRequest);
}

void CoreDialog::closeEvent(QCloseEvent* e) {
    e->ignore();
    reject();
}

// ---------------------------------------------------------------- TForm1

TForm1::TForm1(App& app) : binder(app), app_(app) {
    setObjectName("TForm1");
    setFixedSize(app.Form1.window.width, app.Form1.window.height);
    auto* central = new QWidget(this);
    setCentralWidget(central);
    MainForm& f = app.Form1;
    binder.window(f.window, this);
    binder.button(f.BtnStart, place<QPushButton>(central, 75, 34, 150, 41), [&f] { f.BtnStartClick(); });
    binder.button(f.BtnStart1, place<QPushButton>(central, 75, 34, 150, 41), [&f] { f.BtnStart1Click(); });
    binder.button(f.BitBtn1, place<QPushButton>(central, 75, 83, 150, 41), [&f] { f.BitBtn1Click(); });
    binder.button(f.BtnIzvestaji, place<QPushButton>(central, 75, 131, 150, 41), [&f] { f.BtnIzvestajiClick(); });
    binder.button(f.BtnKonfig, place<QPushButton>(central, 75, 180, 150, 41), [&f] { f.BtnKonfigClick(); });
    binder.button(f.BitBtn2, place<QPushButton>(central, 75, 229, 150, 41), [&f] { f.BitBtn2Click(); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    QAction* vrati = PopupMenu1->addAction(qs(f.Vrati1.caption));
    vrati->setObjectName("Vrati1");
    QAction* zatvori = PopupMenu1->addAction(qs(f.Zatvori1.caption));
    zatvori->setObjectName("Zatvori1");
    connect(vrati, &QAction::triggered, this, [&app] { app.entry([&app] { app.Form1.Vratiti1Click(); }); });
    connect(zatvori, &QAction::triggered, this, [&app] { app.entry([&app] { app.Form1.Zatvori1Click(); }); });
    tray = new QSystemTrayIcon(this);
    tray->setContextMenu(PopupMenu1);
    connect(tray, &QSystemTrayIcon::activated, this, [&app](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick) app.entry([&app] { app.Form1.Vratiti1Click(); });
    });
}

void TForm1::syncTray() {
    const MainForm& f = app_.Form1;
    if (f.trayIconFilled) {
        tray->setToolTip(MainForm::kTrayTip);
        if (tray->icon().isNull()) tray->setIcon(QApplication::windowIcon().isNull()
                                                     ? style()->standardIcon(QStyle::SP_ComputerIcon)
                                                     : QApplication::windowIcon());
    }
    tray->setVisible(f.trayIconShown && QSystemTrayIcon::isSystemTrayAvailable());
}

void TForm1::closeEvent(QCloseEvent* e) {
    if (!app_.Form1.closed()) app_.entry([this] { app_.Form1.FormClose(); });
    e->accept();
}

void TForm1::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && isMinimized())
        app_.entry([this] { app_.Form1.Minimize(); });
}

// ---------------------------------------------------------------- TDialog

TDialog::TDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName("TDialog");
    setFixedSize(app.Dialog.window.width, app.Dialog.window.height);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    const QColor back = palette().color(QPalette::Inactive, QPalette::Window);
    Naslov = place<QLabel>(this, 8, 8, 370, 22);
    Naslov->setObjectName("Naslov");
    Naslov->setAlignment(Qt::AlignCenter);
    Naslov->setAutoFillBackground(true);
    QFont bold = Naslov->font();
    bold.setBold(true);
    Naslov->setFont(bold);
    tekst = place<QPlainTextEdit>(this, 8, 34, 370, 84);
    tekst->setObjectName("tekst");
    tekst->setReadOnly(true);
    QPalette pal = tekst->palette();
    pal.setColor(QPalette::Base, back);
    tekst->setPalette(pal);
    Naslov->setPalette(pal);
    OperatorDialog& d = app.Dialog;
    for (Control* c : {&d.Button1, &d.Button2, &d.BtnErrOk, &d.BtnErrStop, &d.BtnRepeat, &d.BtnOK}) {
        auto* b = new QPushButton(qs(c->caption), this);
        b->setObjectName(qs(c->name));
        b->setAutoDefault(false);
        buttons.push_back(b);
    }
}

int TDialog::run(const DialogView& view) {
    present(view);
    answer_ = 0;
    if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
    exec();
    return answer_;
}

void TDialog::present(const DialogView& view) {
    setWindowTitle(qs(view.title));
    Naslov->setText(qs(view.title));
    tekst->setPlainText(qs(view.text));
    std::vector<QPushButton*> shown;
    switch (view.set) {
        case ButtonSet::Confirm: shown = {buttons[0], buttons[1]}; break;
        case ButtonSet::Choice: shown = {buttons[2], buttons[3], buttons[4]}; break;
        case ButtonSet::OkOnly: shown = {buttons[5]}; break;
    }
    for (QPushButton* b : buttons) {
        b->hide();
        b->disconnect(this);
    }
    const int w = 110, gap = 10;
    const int total = static_cast<int>(shown.size()) * w + (static_cast<int>(shown.size()) - 1) * gap;
    int x = (width() - total) / 2;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        QPushButton* b = shown[i];
        b->setText(qs(view.buttons[i]));
        b->setGeometry(x, 128, w, 30);
        x += w + gap;
        b->show();
        const int index = static_cast<int>(i) + 1;
        connect(b, &QPushButton::clicked, this, [this, index] {
            answer_ = index;
            accept();
        });
    }
}

void TDialog::closeFromOutside() {
    if (isVisible()) done(0);
}

// ---------------------------------------------------------------- TfrmArt

TfrmArt::TfrmArt(App& app, QWidget* parent) : CoreDialog(app, parent) {
    setObjectName("TfrmArt");
    setFixedSize(760, 500);
    ArtForm& a = app.frmArt;
    binder.window(a.window, this);
    DBGrid1 = place<QTableWidget>(this, 10, 10, 740, 370);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setColumnCount(6);
    DBGrid1->setHorizontalHeaderLabels({"KSIFRA", "SIFRA", "BARKOD", "NAZIV", "CENA", "POREZ"});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    const std::vector<Control*> row1{&a.BtnPromeni, &a.BtnPonisti, &a.BtnWrite, &a.BtnKasaRead, &a.BtnKasaWrite};
    const std::vector<Control*> row2{&a.BtnKWriteAll, &a.BtnKEmpty, &a.BtnFileWrite, &a.BtnFileRead, &a.BtnSync};
    int x = 10;
    for (Control* c : row1) {
        binder.button(*c, place<QPushButton>(this, x, 390, 140, 32), c == &a.BtnPromeni ? std::function<void()>([&a] { a.BtnPromeniClick(); }) : nullptr);
        x += 148;
    }
    x = 10;
    for (Control* c : row2) {
        binder.button(*c, place<QPushButton>(this, x, 430, 140, 32), nullptr);
        x += 148;
    }
    binder.label(a.LblCount, place<QLabel>(this, 10, 470, 300, 22));
    onCloseRequest = [&a, &app] {
        a.FormClose();
        app.ports.view->closeWindow(WindowId::Articles);
    };
}

// ---------------------------------------------------------------- TFrmKonf

TFrmKonf::TFrmKonf(App& app, QWidget* parent) : CoreDialog(app, parent) {
    setObjectName("TFrmKonf");
    KonfigForm& k = app.FrmKonf;
    setFixedSize(k.window.width, k.window.height);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    binder.window(k.window, this);
    const auto row = [&](Control& label, Edit& edit, int y, int w = 195) {
        binder.label(label, place<QLabel>(this, 10, y, 135, 24));
        binder.edit(edit, place<QLineEdit>(this, 150, y, w, 24));
    };
    row(k.LblTraceBon, k.EdtTraceBon, 10);
    row(k.LblTraceToCam, k.EdtTraceToCam, 40);
    row(k.LblTraceFromCam, k.EdtTraceFromCam, 70);
    row(k.LblTraceArh, k.EdtTraceArh, 100);
    row(k.LblDuzina, k.EdtDuzina, 130, 50);
    binder.label(k.LblModel, place<QLabel>(this, 10, 160, 135, 24));
    binder.combo(k.CBModel, place<QComboBox>(this, 150, 160, 195, 24), [&k](int i) { k.CBModelChange(i); });
    row(k.LblBroj, k.EdtBroj, 190);
    binder.check(k.rbCOM, place<QRadioButton>(this, 10, 222, 135, 24), [&k](bool) { k.rbCOMClick(); });
    binder.check(k.rbIP, place<QRadioButton>(this, 150, 222, 135, 24), [&k](bool) { k.rbIPClick(); });
    binder.label(k.LblPort, place<QLabel>(this, 10, 252, 135, 24));
    binder.combo(k.CBPort, place<QComboBox>(this, 150, 252, 195, 24), [&k](int i) { k.setItem(k.CBPort, i); });
    row(k.LblIP, k.edtIP, 282);
    binder.check(k.cbZaokruzi, place<QCheckBox>(this, 10, 312, 135, 24), [&k](bool on) { k.cbZaokruziClick(on); });
    binder.check(k.cbTray, place<QCheckBox>(this, 150, 312, 195, 24), [&k](bool on) { k.cbTrayClick(on); });
    binder.label(k.LblIsprazni, place<QLabel>(this, 10, 342, 135, 24));
    binder.combo(k.CBIsprazniBonFolder, place<QComboBox>(this, 150, 342, 195, 24),
                 [&k](int i) { k.setItem(k.CBIsprazniBonFolder, i); });
    binder.button(k.BitBtn1, place<QPushButton>(this, 80, 374, 90, 28), [&k] { k.BitBtn1Click(); });
    binder.button(k.BitBtn2, place<QPushButton>(this, 187, 374, 90, 28), [&k] { k.BitBtn2Click(); });
    onCloseRequest = nullptr;  // only OK and OTKAZ close it
}

// ---------------------------------------------------------------- TfrmIzvestaji

TfrmIzvestaji::TfrmIzvestaji(App& app, QWidget* parent) : CoreDialog(app, parent) {
    setObjectName("TfrmIzvestaji");
    setFixedSize(320, 350);
    IzvestajiForm& r = app.frmIzvestaji;
    binder.window(r.window, this);
    binder.button(r.BtnDnevni, place<QPushButton>(this, 20, 12, 280, 32), nullptr);
    binder.button(r.BtnPresekStanja, place<QPushButton>(this, 20, 50, 280, 32), nullptr);
    binder.label(r.LblOd, place<QLabel>(this, 20, 100, 30, 24));
    binder.edit(r.EdtOd, place<QLineEdit>(this, 50, 100, 100, 24));
    binder.label(r.LblDo, place<QLabel>(this, 165, 100, 30, 24));
    binder.edit(r.EdtDo, place<QLineEdit>(this, 200, 100, 100, 24));
    int y = 136;
    for (Control* c : {&r.BtnPeriodicni, &r.BtnArtikliFlash, &r.BtnArtikliBezPon, &r.BtnOdeljenja, &r.BtnOperateri}) {
        binder.button(*c, place<QPushButton>(this, 20, y, 280, 32), nullptr);
        y += 40;
    }
    onCloseRequest = [&r, &app] {
        r.window.showing = false;
        app.ports.view->closeWindow(WindowId::Reports);
    };
}

// ---------------------------------------------------------------- TUputstvo

TUputstvo::TUputstvo(App& app, QWidget* parent) : QDialog(parent) {
    setObjectName("TUputstvo");
    setFixedSize(520, 230);
    Memo1 = place<QPlainTextEdit>(this, 10, 10, 500, 170);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    auto* ok = place<QPushButton>(this, 215, 190, 90, 30);
    ok->setObjectName("Button1");
    ok->setText(qs(app.uputstvo.Button1.caption));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QStringList text;
    for (const auto& l : Uputstvo::lines()) text << qs(l);
    Memo1->setPlainText(text.join('\n'));
}

void TUputstvo::run(const std::string& caption, const std::vector<std::string>&) {
    setWindowTitle(qs(caption));
    exec();
}

}  // namespace kestora::gui
