#include "binder.h"

#include <QSignalBlocker>

namespace kestora::gui {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string ss(const QString& s) { return s.toUtf8().toStdString(); }

void Binder::common(Control& c, QWidget* w) {
    w->setObjectName(qs(c.name));
    syncers_.push_back([&c, w] {
        w->setVisible(c.visible);
        w->setEnabled(c.enabled);
        if (c.top >= 0 && w->y() != c.top) w->move(w->x(), c.top);
    });
}

void Binder::button(Control& c, QAbstractButton* w, std::function<void()> onClick) {
    common(c, w);
    syncers_.push_back([&c, w] { w->setText(qs(c.caption)); });
    if (onClick) QObject::connect(w, &QAbstractButton::clicked, w, [this, onClick] { app_.entry(onClick); });
}

void Binder::label(Control& c, QLabel* w) {
    common(c, w);
    syncers_.push_back([&c, w] { w->setText(qs(c.caption)); });
}

void Binder::edit(Edit& c, QLineEdit* w) {
    common(c, w);
    syncers_.push_back([&c, w] {
        const QString t = qs(c.text);
        if (w->text() != t) {
            const QSignalBlocker block(w);
            w->setText(t);
        }
    });
    QObject::connect(w, &QLineEdit::textEdited, w, [&c](const QString& t) { c.text = ss(t); });
}

void Binder::check(Check& c, QAbstractButton* w, std::function<void(bool)> onClick) {
    common(c, w);
    w->setCheckable(true);
    syncers_.push_back([&c, w] {
        w->setText(qs(c.caption));
        const QSignalBlocker block(w);
        w->setChecked(c.checked);
    });
    QObject::connect(w, &QAbstractButton::clicked, w, [this, w, onClick] {
        const bool state = w->isChecked();
        app_.entry([onClick, state] { onClick(state); });
    });
}

void Binder::combo(Combo& c, QComboBox* w, std::function<void(int)> onChosen) {
    common(c, w);
    syncers_.push_back([&c, w] {
        const QSignalBlocker block(w);
        if (w->count() != static_cast<int>(c.items.size())) {
            w->clear();
            for (const auto& item : c.items) w->addItem(qs(item));
        }
        w->setCurrentIndex(c.itemIndex);
    });
    QObject::connect(w, QOverload<int>::of(&QComboBox::activated), w,
                     [this, onChosen](int index) { app_.entry([onChosen, index] { onChosen(index); }); });
}

void Binder::window(const WindowState& s, QWidget* w) {
    syncers_.push_back([&s, w] { w->setWindowTitle(qs(s.caption)); });
}

void Binder::sync() {
    for (auto& f : syncers_) f();
}

}  // namespace kestora::gui
