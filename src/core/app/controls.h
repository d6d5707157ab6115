#pragma once
// State of the window controls, held by the core. The front end mirrors it
// (caption, text, checked, item index, enabled, visible, vertical position)
// and feeds the operator's edits back into it.
#include <string>
#include <vector>

namespace kestora {

struct Control {
    explicit Control(std::string objectName, std::string caption = {})
        : name(std::move(objectName)), caption(std::move(caption)) {}
    std::string name;     // objectName of the front-end widget
    std::string caption;  // button/label/check-box caption
    bool visible = true;
    bool enabled = true;
    int top = -1;         // vertical position; -1: left to the layout
};

struct Edit : Control {
    using Control::Control;
    std::string text;
};

struct Check : Control {
    using Control::Control;
    bool checked = false;
};

struct Combo : Control {
    Combo(std::string objectName, std::vector<std::string> list, int index)
        : Control(std::move(objectName)), items(std::move(list)), itemIndex(index) {}
    std::vector<std::string> items;
    int itemIndex = -1;
};

// A window: caption, fixed size and whether it is up.
struct WindowState {
    std::string caption;
    int width = 0;
    int height = 0;
    bool showing = false;
};

}  // namespace kestora
