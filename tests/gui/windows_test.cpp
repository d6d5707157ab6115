// Window tests: the real windows, offscreen, clicked as an operator would.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>

#include "gui_front_end.h"
#include "screenshots.h"

using namespace kestora;
using namespace kestora::gui;

namespace {

// A pseudo-terminal that stands in for the serial device.
struct Pty {
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        slave = ::ptsname(master);
    }
    ~Pty() { ::close(master); }
    int master;
    std::string slave;
};

// Runs action on the modal window of class T as soon as it is up.
template <class T>
void whenModal(std::function<void(T*)> action) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            poll->stop();
            poll->deleteLater();
            action(w);
        }
    });
    poll->start();
}

template <class W = QPushButton>
W* child(QWidget* parent, const char* name) {
    W* w = parent->findChild<W*>(name);
    if (!w) qFatal("no child %s", name);
    return w;
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    Pty pty;

    void writeConfig(int model, const std::string& extra = "") {
        const std::string d = dir.path().toStdString();
        for (const char* f : {"Bon", "UKasu", "IzKase", "Arhiva"}) std::filesystem::create_directories(d + "/" + f);
        std::ofstream(d + "/Konfiguracija.dat")
            << "[Konfiguracija]\nBon=" << d << "/Bon\nKomanda=" << d << "/UKasu\nGreska=" << d << "/IzKase\nArhiva=" << d
            << "/Arhiva\nDuzina=33\nPort=1\nModel=" << model
            << "\nIBFM=123456\nKonekcija=0\nIP=\nZaokruzi=0\nTray=0\nIsprazniBonFolder=1\n"
            << extra << "[Portovi]\nCOM1=" << pty.slave << "\n";
    }

    std::unique_ptr<GuiFrontEnd> startBridge(int model) {
        writeConfig(model);
        auto fe = std::make_unique<GuiFrontEnd>(dir.path().toStdString());
        fe->start();
        GuiFrontEnd* raw = fe.get();
        if (!QTest::qWaitFor([raw] { return raw->app().Form1.activated(); }, 3000)) qFatal("no activation");
        return fe;
    }

private slots:
    void mainWindowRunsAndStops() {
        auto fe = startBridge(1);
        TForm1* w = fe->form1();
        QCOMPARE(w->windowTitle(), QString("Kestora v3.5.3"));
        QCOMPARE(w->size(), QSize(300, 290));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!child(w, "BtnStart")->isVisible());
        QPushButton* stop = child(w, "BtnStart1");
        QVERIFY(stop->isVisible());
        QCOMPARE(stop->text(), QString("Stop"));
        QVERIFY(!child(w, "BitBtn1")->isEnabled());
        QVERIFY(!child(w, "BtnKonfig")->isEnabled());
        QVERIFY(!child(w, "BtnIzvestaji")->isVisible());
        QCOMPARE(child(w, "BtnKonfig")->y(), 131);
        QVERIFY(!child(w, "BitBtn2")->isVisible());

        QTest::mouseClick(stop, Qt::LeftButton);
        QPushButton* start = child(w, "BtnStart");
        QVERIFY(start->isVisible());
        QCOMPARE(start->text(), QString("Start"));
        QVERIFY(!stop->isVisible());
        QVERIFY(child(w, "BitBtn1")->isEnabled());
        QVERIFY(child(w, "BtnKonfig")->isEnabled());
        QCOMPARE(child(w, "BitBtn1")->text(), QString("Azuriranje"));
        QCOMPARE(child(w, "BtnKonfig")->text(), QString("Konfiguracija"));
        QVERIFY(!fe->app().link.serialOpen());
    }

    void printerShowsTheReportsButton() {
        auto fe = startBridge(4);
        TForm1* w = fe->form1();
        QVERIFY(child(w, "BtnIzvestaji")->isVisible());
        QCOMPARE(child(w, "BtnIzvestaji")->y(), 131);
        QCOMPARE(child(w, "BtnKonfig")->y(), 180);
        QCOMPARE(child(w, "BtnStart1")->y(), 34);
        QCOMPARE(child(w, "BitBtn1")->y(), 83);
        // The status request went out on the pseudo-terminal.
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] {
            char buf[64];
            const auto n = ::read(pty.master, buf, sizeof buf);
            if (n > 0) got.append(buf, n);
            return got.size() >= 12;
        }, 2000));
        QCOMPARE(static_cast<unsigned char>(got[0]), 0xAAu);
        QCOMPARE(static_cast<unsigned char>(got[7]), 0x0Du);
    }

    void configurationWindowRefusesAndSaves() {
        auto fe = startBridge(2);
        TForm1* w = fe->form1();
        QTest::mouseClick(child(w, "BtnStart1"), Qt::LeftButton);

        QString refusalTitle, refusalText, okTitle, okText;
        bool radioComAfterRefusal = false;
        whenModal<TFrmKonf>([&](TFrmKonf* k) {
            QCOMPARE(k->windowTitle(), QString("Podesavanje parametara"));
            QCOMPARE(k->size(), QSize(357, 410));
            whenModal<TDialog>([&](TDialog* d) {
                refusalTitle = d->Naslov->text();
                refusalText = d->tekst->toPlainText();
                QTest::mouseClick(child(d, "Button1"), Qt::LeftButton);
            });
            child<QRadioButton>(k, "rbIP")->click();
            radioComAfterRefusal = child<QRadioButton>(k, "rbCOM")->isChecked();

            QLineEdit* broj = child<QLineEdit>(k, "EdtBroj");
            broj->clear();
            QTest::keyClicks(broj, "12a");
            whenModal<TDialog>([&](TDialog* d) {
                okTitle = d->Naslov->text();
                okText = d->tekst->toPlainText();
                QTest::mouseClick(child(d, "Button1"), Qt::LeftButton);
                // Correct it and save with model 1.
                broj->clear();
                QTest::keyClicks(broj, "555");
                auto* model = child<QComboBox>(k, "CBModel");
                model->setCurrentIndex(0);
                emit model->activated(0);
                QTimer::singleShot(0, [k] { QTest::mouseClick(child(k, "BitBtn1"), Qt::LeftButton); });
            });
            QTest::mouseClick(child(k, "BitBtn1"), Qt::LeftButton);
        });
        QTest::mouseClick(child(w, "BtnKonfig"), Qt::LeftButton);

        QCOMPARE(refusalTitle, QString("Greska"));
        QCOMPARE(refusalText, QString("Izabrani model fiskalnog uredjaja ne podrzava ovu funkcionalnost!"));
        QVERIFY(radioComAfterRefusal);
        QCOMPARE(okTitle, QString("GRESKA!"));
        QCOMPARE(okText, QString("Broj kase mora biti numericki!"));
        QVERIFY(!fe->konfig()->isVisible());
        QCOMPARE(fe->app().Form1.IbfmText, std::string("555"));
        QCOMPARE(fe->app().Form1.Model, 1);
        std::ifstream in(dir.path().toStdString() + "/Konfiguracija.dat");
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QVERIFY(text.find("IBFM=555") != std::string::npos);
        QVERIFY(text.find("COM1=" + pty.slave) != std::string::npos);
    }

    void operatorDialogShowsTheChosenSet() {
        auto fe = startBridge(1);
        QStringList visible;
        whenModal<TDialog>([&](TDialog* d) {
            QCOMPARE(d->size(), QSize(386, 170));
            for (QPushButton* b : d->buttons)
                if (b->isVisible()) visible << b->text();
            QTest::mouseClick(child(d, "BtnRepeat"), Qt::LeftButton);
        });
        fe->app().entry([&] { fe->app().notice("GRESKA", "Nema odgovora.", ButtonSet::Choice); });
        QCOMPARE(visible, (QStringList{"Nastavi", "Zaustavi", "Ponovi"}));
        QCOMPARE(fe->app().Dialog.ChoiceResult, 3);

        // Closed from outside: the previous choice stays.
        QTimer::singleShot(50, [&] { fe->app().Dialog.closeFromOutside(); });
        fe->app().entry([&] { fe->app().notice("GRESKA", "x", ButtonSet::Choice); });
        QCOMPARE(fe->app().Dialog.ChoiceResult, 3);
        QVERIFY(!fe->dialog()->isVisible());
    }

    void everyWindowHasAScreenshot() {
        writeConfig(4);
        GuiFrontEnd fe(dir.path().toStdString());
        QTemporaryDir shots;
        QCOMPARE(writeScreenshots(fe, shots.path()), 6);
        for (const char* n : {"TForm1", "TDialog", "TfrmArt", "TFrmKonf", "TfrmIzvestaji", "TUputstvo"}) {
            QImage img(shots.filePath(QString(n) + ".png"));
            QVERIFY2(!img.isNull(), n);
            QVERIFY(img.width() > 200);
        }
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
