#include "app/instance_bus.h"

#include <vector>

#include "app/automation_commands.h"
#include "app/automation_protocol.h"
#include "platform/logger.h"
#include "platform/message_catalogue.h"

namespace lumora {

namespace {
constexpr const char* kTag = "bus";
}

// Shared with the work queued on the UI thread; everything but `queued` is touched
// on the UI thread only.
struct InstanceBus::State {
    BusServer* server = nullptr;  // null once stopped: queued work then does nothing
    AutomationCommands* automation = nullptr;
    CWindowWnd::Handle target = 0;
    std::vector<Pending> running;  // requests being carried out, innermost last
    std::atomic<std::size_t> queued{0};
};

InstanceBus::InstanceBus(MessageLoop& loop) : loop_(loop) {}

InstanceBus::~InstanceBus() { Stop(); }

bool InstanceBus::Start(CWindowWnd::Handle target, AutomationCommands* automation,
                        const std::filesystem::path& socket) {
    if (state_) return false;
    auto state = std::make_shared<State>();
    state->server = &server_;
    state->automation = automation;
    state->target = target;
    state_ = state;
    server_.SetMessageHandler([this](const BusMessage& message) { OnMessage(message); });
    server_.SetRequestHandler([this](const BusRequest& request) { OnRequest(request); });
    std::weak_ptr<State> weak = state;
    CWindowWnd::SetModalResponder([weak](CWindowWnd& modal) {
        if (auto s = weak.lock()) OnModalShown(s, modal);
    });
    const bool started = socket.empty() ? server_.Start() : server_.Start(socket);
    if (!started) Stop();
    return started;
}

void InstanceBus::Stop() {
    server_.Stop();
    server_.SetMessageHandler(nullptr);
    server_.SetRequestHandler(nullptr);
    if (state_) {
        CWindowWnd::SetModalResponder(nullptr);
        state_->server = nullptr;
        state_->automation = nullptr;
        state_.reset();
    }
}

void InstanceBus::OnMessage(const BusMessage& message) {
    // state_ is only replaced while the bus thread is stopped.
    const std::shared_ptr<State> state = state_;
    std::uint32_t id = 0;
    if (message.name == BusMessage::kCopyDataName) {
        id = WM_COPYDATA;
    } else if (auto found = MessageCatalogue::Process().Find(message.name)) {
        id = *found;
    } else {
        LOG_WARNING(kTag, "message %s from %s is not one of ours; dropped", message.name.c_str(),
                    message.sender.c_str());
        return;
    }
    if (state->queued.fetch_add(1) >= kMaxQueuedMessages) {
        state->queued.fetch_sub(1);
        LOG_WARNING(kTag, "message %s from %s dropped: %zu messages are still waiting", message.name.c_str(),
                    message.sender.c_str(), kMaxQueuedMessages);
        return;
    }
    loop_.Post([state, id, message] {
        state->queued.fetch_sub(1);
        if (!state->server) return;
        if (CWindowWnd* window = CWindowWnd::FromHandle(state->target))
            window->SendMessage(id, static_cast<std::uintptr_t>(message.wParam),
                                static_cast<std::intptr_t>(message.lParam), message);
    });
}

void InstanceBus::OnRequest(const BusRequest& request) {
    // The server bounds the requests waiting per client, so this queue is bounded too.
    const std::shared_ptr<State> state = state_;
    loop_.Post([state, request] { RunRequest(state, request); });
}

void InstanceBus::RunRequest(const std::shared_ptr<State>& state, const BusRequest& request) {
    if (!state->server) return;
    if (!state->automation) {
        state->server->Reply(request.client, request.id, AutomationProtocol::kFailed,
                             "this instance takes no automation commands\n");
        return;
    }
    state->running.push_back(Pending{request.client, request.id, false});
    const BusReply reply = state->automation->Execute(request.args);
    // A modal window run inside Execute may have answered this request already, and
    // the bus may have been stopped meanwhile.
    const Pending done = state->running.back();
    state->running.pop_back();
    if (!done.replied && state->server) state->server->Reply(done.client, done.id, reply.status, reply.text);
}

void InstanceBus::OnModalShown(const std::shared_ptr<State>& state, CWindowWnd& modal) {
    if (!state->server) return;
    for (Pending& pending : state->running) {
        if (pending.replied) continue;
        pending.replied = true;
        state->server->Reply(pending.client, pending.id, AutomationProtocol::kOk,
                             "modal " + modal.GetWindowClassName() + "\n");
    }
}

}  // namespace lumora
