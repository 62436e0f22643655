#include "platform/BackgroundWriter.h"

#include <utility>

namespace korvana {

namespace {

constexpr std::size_t mostQueued = 2;

} // namespace

BackgroundWriter::BackgroundWriter(Work work)
    : work_(std::move(work)), thread_([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    stop();
}

void BackgroundWriter::add(std::string_view piece) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.size() < mostQueued || failure_; });
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    std::string buffer;
    if (!spare_.empty()) {
        buffer = std::move(spare_.back());
        spare_.pop_back();
    }
    buffer.assign(piece);
    queued_.push_back(std::move(buffer));
    changed_.notify_all();
}

void BackgroundWriter::finish() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return (queued_.empty() && !busy_) || failure_; });
    }
    stop();
    if (failure_) {
        std::rethrow_exception(failure_);
    }
}

void BackgroundWriter::stop() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return !queued_.empty() || closing_; });
        if (closing_ || failure_) {
            return;
        }
        std::string piece = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            work_(piece);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        busy_ = false;
        failure_ = failure;
        spare_.push_back(std::move(piece));
        changed_.notify_all();
    }
}

} // namespace korvana
