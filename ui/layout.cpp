#include "ui/layout.h"

#include <algorithm>
#include <vector>

namespace tidewell::ui {

void ArrangeAligned(TWinControl& parent, int clientWidth, int clientHeight) {
    std::vector<std::pair<TControl*, size_t>> tops;
    const auto& controls = parent.Controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i]->Alignment == Align::Top) tops.emplace_back(controls[i], i);
    }
    std::stable_sort(tops.begin(), tops.end(), [](const auto& a, const auto& b) {
        if (a.first->GetBounds().top != b.first->GetBounds().top) return a.first->GetBounds().top < b.first->GetBounds().top;
        return a.second > b.second;
    });
    int top = 0;
    for (auto& [control, index] : tops) {
        const int height = control->GetBounds().height;
        control->SetBounds(Bounds{0, top, clientWidth, height});
        top += height;
    }
    int right = clientWidth;
    for (TControl* control : controls) {
        if (control->Alignment != Align::Right) continue;
        const Bounds b = control->GetBounds();
        right -= b.width;
        control->SetBounds(Bounds{right, 0, b.width, clientHeight});
    }
    for (TControl* control : controls) {
        if (control->Alignment != Align::Client) continue;
        control->SetBounds(Bounds{0, top, right, std::max(0, clientHeight - top)});
    }
}

}  // namespace tidewell::ui
