#pragma once
// The running instance's side of the local bus. Messages from other programs reach
// the main window on the UI thread as window messages of their registered ids (the
// BusMessage itself travels as the payload, for the data block and the sender);
// names nobody registered are logged and dropped. Automation requests run on the
// UI thread, one at a time, and are answered there; a request whose action opens
// a modal window is answered as soon as that window is up ("modal <class>"), so the
// caller can go on to answer it.
//
// Start and Stop on the UI thread. Work handed to the UI thread after Stop is
// dropped, so the object may go away while the loop still holds some.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>

#include "platform/bus_server.h"
#include "platform/message_loop.h"
#include "ui/window_wnd.h"

namespace lumora {

class AutomationCommands;

class InstanceBus {
public:
    // Forwarded messages not yet handled by the UI thread; beyond it, new ones are dropped.
    static constexpr std::size_t kMaxQueuedMessages = 256;

    explicit InstanceBus(MessageLoop& loop);
    ~InstanceBus();
    InstanceBus(const InstanceBus&) = delete;
    InstanceBus& operator=(const InstanceBus&) = delete;

    // Messages go to the window `target`, requests to `automation` (may be null:
    // requests are then refused). The socket is Paths::BusSocketFile() unless given.
    bool Start(CWindowWnd::Handle target, AutomationCommands* automation,
               const std::filesystem::path& socket = {});
    void Stop();

    BusServer& Server() { return server_; }

private:
    struct Pending {
        std::uint64_t client = 0;
        std::uint32_t id = 0;
        bool replied = false;
    };
    struct State;

    void OnMessage(const BusMessage& message);  // bus thread
    void OnRequest(const BusRequest& request);  // bus thread
    static void RunRequest(const std::shared_ptr<State>& state, const BusRequest& request);  // UI thread
    static void OnModalShown(const std::shared_ptr<State>& state, CWindowWnd& modal);      // UI thread

    MessageLoop& loop_;
    BusServer server_;
    std::shared_ptr<State> state_;
};

}  // namespace lumora
