// Arbitrary text as a skin: the builder must give a tree or an error, never crash,
// hang or leak; a built tree must survive attaching, lookup, the automation
// interface and destruction.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/logger.h"
#include "platform/manual_clock.h"
#include "platform/message_loop.h"
#include "ui/container_ui.h"
#include "ui/control_factory.h"
#include "ui/control_tree_dump.h"
#include "ui/control_ui.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager_ui.h"

namespace {

void Exercise(lumora::CControlUI* control, int depth) {
    if (!control || depth > 64) return;
    (void)control->GetProperty("text");
    (void)control->GetProperty("cursel");
    std::string error;
    control->PerformUserAction("click", {}, &error);
    control->PerformUserAction("itemselect", "0", &error);
    if (lumora::CContainerUI* container = control->AsContainer()) {
        for (int i = 0; i < container->GetCount() && i < 64; ++i) Exercise(container->GetItemAt(i), depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        lumora::Logger::SetLevel(lumora::LogLevel::Off);
        // Includes resolve under a folder that holds nothing.
        lumora::CPaintManagerUI::SetResourcePath("/nonexistent-lumora-skin/");
        for (auto& [name, creator] : lumora::CControlFactory::CustomControlClasses()) {
            lumora::CControlFactory::GetInstance().RegistControl(name, creator);
        }
        return true;
    }();
    (void)ready;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (text.empty() || text.front() != '<') return 0;  // anything else names a file

    lumora::MessageLoop loop(std::make_shared<lumora::ManualClock>());
    lumora::CPaintManagerUI::SetMessageLoop(&loop);
    {
        lumora::CPaintManagerUI pm;
        lumora::CDialogBuilder builder;
        auto root = builder.Create(text, {}, nullptr, &pm);
        if (root && pm.AttachDialog(std::move(root))) {
            (void)pm.FindControl("root");
            (void)lumora::ControlTreeDump::Dump(*pm.GetRoot());
            Exercise(pm.GetRoot(), 0);
        }
        loop.RunUntilIdle();
    }
    loop.RunUntilIdle();
    lumora::CPaintManagerUI::SetMessageLoop(nullptr);
    lumora::CPaintManagerUI::ResetShared();
    return 0;
}
