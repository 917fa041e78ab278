#include "sound_core.h"

#include <algorithm>
#include <cstdio>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace media {

namespace {

// How often the audio thread looks for commands when no eventfd could be made.
constexpr int kWakeFallbackMs = 10;

} // namespace

CommandQueue::CommandQueue() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (wakeFd_ < 0)
        std::perror("zorban: no eventfd for the sound engine; it looks for work every 10 ms");
}

CommandQueue::~CommandQueue() {
    for (Node* node = newest_.exchange(nullptr); node;)
        delete std::exchange(node, node->next);
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

void CommandQueue::push(SoundCommand command) {
    auto* node = new Node{std::move(command), newest_.load(std::memory_order_relaxed)};
    while (!newest_.compare_exchange_weak(node->next, node, std::memory_order_release,
                                          std::memory_order_relaxed)) {
    }
    // Commands already waiting were woken for, and are taken with this one:
    // the audio thread is woken once for a batch, not once a command (each
    // wake-up can take the processor from this thread on a busy machine).
    if (!node->next)
        wake();
}

void CommandQueue::wake() {
    const uint64_t one = 1;
    if (wakeFd_ >= 0)
        static_cast<void>(::write(wakeFd_, &one, sizeof one));
}

std::deque<SoundCommand> CommandQueue::takeAll() {
    std::deque<SoundCommand> taken;
    for (Node* node = newest_.exchange(nullptr, std::memory_order_acquire); node;) {
        taken.push_front(std::move(node->command));
        delete std::exchange(node, node->next);
    }
    return taken;
}

void CommandQueue::wait(const std::chrono::steady_clock::time_point* deadline) {
    int timeoutMs = -1;
    if (deadline) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            *deadline - std::chrono::steady_clock::now());
        timeoutMs = static_cast<int>(std::max<qint64>(0, left.count()));
    }
    if (wakeFd_ < 0) {
        ::poll(nullptr, 0, timeoutMs < 0 ? kWakeFallbackMs : std::min(timeoutMs, kWakeFallbackMs));
        return;
    }
    pollfd woken{wakeFd_, POLLIN, 0};
    if (::poll(&woken, 1, timeoutMs) > 0) {
        uint64_t count = 0;
        static_cast<void>(::read(wakeFd_, &count, sizeof count));
    }
}

} // namespace media
