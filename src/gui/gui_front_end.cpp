#include "gui_front_end.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace kestora::gui {

GuiFrontEnd::GuiFrontEnd(const std::filesystem::path& workdir, LinkPorts links) {
    runtime_ = std::make_unique<Runtime>(*this, *this, workdir, links);
    App& a = runtime_->app();
    // The six windows, in this order.
    form1_ = std::make_unique<TForm1>(a);
    dialog_ = new TDialog(a, form1_.get());
    art_ = new TfrmArt(a, form1_.get());
    konf_ = new TFrmKonf(a, form1_.get());
    izv_ = new TfrmIzvestaji(a, form1_.get());
    upu_ = new TUputstvo(a, form1_.get());
    sync();
}

GuiFrontEnd::~GuiFrontEnd() = default;

void GuiFrontEnd::start() {
    runtime_->installSignalHandlers();
    const QRect screen = form1_->screen() ? form1_->screen()->availableGeometry() : QRect(0, 0, 800, 600);
    form1_->move(screen.center() - form1_->rect().center());
    form1_->show();
    // Activation runs once the window is up and the event loop turns.
    QTimer::singleShot(0, form1_.get(), [this] { app().entry([this] { app().Form1.FormActivate(); }); });
}

DialogAnswer GuiFrontEnd::showDialog(const DialogView& view) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint)) w->raise();
    return dialog_->run(view);
}

void GuiFrontEnd::closeDialog() { dialog_->closeFromOutside(); }

void GuiFrontEnd::showInstructions(const std::string& caption, const std::vector<std::string>& lines) {
    upu_->run(caption, lines);
}

bool GuiFrontEnd::askYesNo(const std::string& caption, const std::string& text, const std::string& yes,
                           const std::string& no) {
    QMessageBox box(QMessageBox::Question, qs(caption), qs(text), QMessageBox::NoButton, form1_.get());
    QPushButton* y = box.addButton(qs(yes), QMessageBox::YesRole);
    QPushButton* n = box.addButton(qs(no), QMessageBox::NoRole);
    box.setDefaultButton(n);
    box.setEscapeButton(n);
    box.exec();
    return box.clickedButton() == y;
}

void GuiFrontEnd::showError(const std::string& text) {
    QMessageBox::critical(form1_.get(), "Kestora", qs(text));
}

void GuiFrontEnd::sync() {
    App& a = app();
    form1_->binder.sync();
    form1_->syncTray();
    art_->binder.sync();
    konf_->binder.sync();
    izv_->binder.sync();
    upu_->setWindowTitle(qs(a.uputstvo.window.caption));
    runtime_->syncTimers();
}

CoreDialog* GuiFrontEnd::coreDialog(WindowId id) {
    switch (id) {
        case WindowId::Articles: return art_;
        case WindowId::Konfig: return konf_;
        case WindowId::Reports: return izv_;
        default: return nullptr;
    }
}

void GuiFrontEnd::showModal(WindowId id) {
    if (CoreDialog* d = coreDialog(id)) {
        d->move(form1_->geometry().center() - d->rect().center());
        d->exec();
    }
}

void GuiFrontEnd::closeWindow(WindowId id) {
    if (CoreDialog* d = coreDialog(id)) d->closeFromCore();
}

bool GuiFrontEnd::hideToTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    form1_->hide();
    return true;
}

void GuiFrontEnd::restoreFromTray() {
    form1_->show();
    form1_->setWindowState(form1_->windowState() & ~Qt::WindowMinimized);
    form1_->raise();
    form1_->activateWindow();
}

void GuiFrontEnd::quit() { QCoreApplication::quit(); }

}  // namespace kestora::gui
