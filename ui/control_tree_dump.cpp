#include "ui/control_tree_dump.h"

#include "ui/container_ui.h"
#include "ui/control_ui.h"
#include "ui/window_impl_base.h"

namespace lumora {

namespace {
void DumpNode(const CControlUI& node, int depth, std::string& out) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += std::string(node.GetClass());
    out += ' ';
    out += ControlTreeDump::Quote(node.GetName());
    const std::string text = node.GetText();
    if (!text.empty()) out += " text=" + ControlTreeDump::Quote(text);
    if (!node.GetVisibleFlag()) out += " hidden";
    if (!node.IsEnabled()) out += " disabled";
    if (node.GetProperty("selected") == std::optional<std::string>("true")) out += " selected";
    if (node.IsA("Progress")) {
        if (auto value = node.GetProperty("value")) out += " value=" + *value;
    }
    if (node.IsA("TabLayout") || node.IsA("IListOwner")) {
        if (auto sel = node.GetProperty("cursel")) out += " cursel=" + *sel;
    }
    out += '\n';
    if (const CContainerUI* container = node.AsContainer()) {
        for (int i = 0; i < container->GetCount(); ++i) DumpNode(*container->GetItemAt(i), depth + 1, out);
    }
}
}  // namespace

std::string ControlTreeDump::Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string ControlTreeDump::Dump(const CControlUI& root) {
    std::string out;
    DumpNode(root, 0, out);
    return out;
}

std::string ControlTreeDump::DumpWindows() {
    std::string out;
    for (CWindowWnd* window : CWindowWnd::AllWindows()) {
        out += "window " + std::to_string(window->GetHWND()) + " " + window->GetWindowClassName() + " " +
               Quote(window->GetTitle());
        if (window->IsWindowVisible()) out += " visible";
        if (window->IsModal()) out += " modal";
        out += '\n';
        if (auto* impl = dynamic_cast<WindowImplBase*>(window)) {
            if (const CControlUI* root = impl->GetPaintManager().GetRoot()) {
                std::string tree = Dump(*root);
                std::size_t start = 0;
                while (start < tree.size()) {
                    const std::size_t end = tree.find('\n', start);
                    out += "  " + tree.substr(start, end - start + 1);
                    start = end + 1;
                }
            }
        }
    }
    return out;
}

}  // namespace lumora
