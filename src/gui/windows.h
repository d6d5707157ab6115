#pragma once
// The six windows. Each mirrors its core window through a Binder.
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTableWidget>

#include "binder.h"

namespace kestora::gui {

// A modal window that only its own buttons (through the core) may close.
class CoreDialog : public QDialog {
    Q_OBJECT
public:
    CoreDialog(App& app, QWidget* parent) : QDialog(parent), app(app), binder(app) {}
    App& app;
    Binder binder;
    // Closing by the window system (close box, Escape) runs this instead.
    std::function<void()> onCloseRequest;
    void closeFromCore() { QDialog::done(0); }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* e) override;
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(App& app);
    Binder binder;
    QSystemTrayIcon* tray = nullptr;
    QMenu* PopupMenu1 = nullptr;
    void syncTray();

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    App& app_;
};

class TDialog : public QDialog {
    Q_OBJECT
public:
    TDialog(App& app, QWidget* parent);
    // Shows the view modally; returns the 1-based button index or 0.
    int run(const DialogView& view);
    // Lays out title, text and the visible buttons of the view.
    void present(const DialogView& view);
    void closeFromOutside();
    QLabel* Naslov;
    QPlainTextEdit* tekst;
    std::vector<QPushButton*> buttons;  // Button1, Button2, BtnErrOk, BtnErrStop, BtnRepeat, BtnOK

private:
    int answer_ = 0;
    App& app_;
};

class TfrmArt : public CoreDialog {
    Q_OBJECT
public:
    TfrmArt(App& app, QWidget* parent);
    QTableWidget* DBGrid1;
};

class TFrmKonf : public CoreDialog {
    Q_OBJECT
public:
    TFrmKonf(App& app, QWidget* parent);
};

class TfrmIzvestaji : public CoreDialog {
    Q_OBJECT
public:
    TfrmIzvestaji(App& app, QWidget* parent);
};

class TUputstvo : public QDialog {
    Q_OBJECT
public:
    TUputstvo(App& app, QWidget* parent);
    void run(const std::string& caption, const std::vector<std::string>& lines);
    QPlainTextEdit* Memo1;
};

}  // namespace kestora::gui
