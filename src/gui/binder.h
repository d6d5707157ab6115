#pragma once
// Ties Qt widgets to the core's control state: sync() copies the core's
// state into the widgets; the operator's actions go back through the core's
// entry point.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/app.h"

namespace kestora::gui {

QString qs(const std::string& s);
std::string ss(const QString& s);

class Binder {
public:
    explicit Binder(App& app) : app_(app) {}

    void button(Control& c, QAbstractButton* w, std::function<void()> onClick);
    void label(Control& c, QLabel* w);
    void edit(Edit& c, QLineEdit* w);
    // A check box or radio button; onClick gets the state after the click.
    void check(Check& c, QAbstractButton* w, std::function<void(bool)> onClick);
    void combo(Combo& c, QComboBox* w, std::function<void(int)> onChosen);
    void window(const WindowState& s, QWidget* w);

    void sync();

private:
    void common(Control& c, QWidget* w);
    App& app_;
    std::vector<std::function<void()>> syncers_;
};

}  // namespace kestora::gui
