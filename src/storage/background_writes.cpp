#include "background_writes.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace background_writes {

namespace {

class Writer {
  public:
    ~Writer() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable())
            thread_.join(); // the writes asked for are done first
    }

    void post(std::function<void()> write) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(std::move(write));
            if (!thread_.joinable())
                thread_ = std::thread([this] { run(); });
        }
        changed_.notify_all();
    }

    void wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (thread_.get_id() == std::this_thread::get_id())
            return; // a write waiting for itself
        changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
    }

  private:
    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            std::function<void()> write = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
            lock.unlock();
            write();
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

Writer& writer() {
    static Writer instance;
    return instance;
}

} // namespace

void post(std::function<void()> write) {
    writer().post(std::move(write));
}

void wait() {
    writer().wait();
}

} // namespace background_writes
