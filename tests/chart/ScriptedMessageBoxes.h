#pragma once

#include "platform/gui/MessageBox.h"

#include <string>
#include <vector>

namespace vq::test {

// Records every message box instead of showing it, for as long as it lives.
class ScriptedMessageBoxes : public MessageBoxProvider {
public:
    struct Shown {
        std::string text;
        UINT type;
    };

    ScriptedMessageBoxes() : m_previous(SetMessageBoxProvider(this)) {}
    ~ScriptedMessageBoxes() override { SetMessageBoxProvider(m_previous); }

    int Show(HWND, const std::string& text, const std::string&, UINT type) override {
        shown.push_back({text, type});
        return 1;
    }

    std::vector<Shown> shown;

private:
    MessageBoxProvider* m_previous;
};

} // namespace vq::test
