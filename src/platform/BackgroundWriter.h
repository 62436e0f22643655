#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace korvana {

// Hands the pieces of a file to a thread of its own, which writes them (and
// does whatever else each piece needs, such as hashing it) while the caller
// makes the next piece: making a large hive's text and writing it then take
// about as long as the slower of the two rather than both together. At most
// two pieces wait, so memory stays bounded whatever the file's size.
class BackgroundWriter {
  public:
    using Work = std::function<void(std::string_view piece)>;

    explicit BackgroundWriter(Work work);
    // Stops the thread; pieces not yet handled by then are dropped.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Queues a copy of `piece`, waiting while two are queued. Raises what the
    // work raised for an earlier piece.
    void add(std::string_view piece);
    // Waits until every queued piece is handled; raises what the work raised.
    void finish();

  private:
    void run();
    void stop();

    Work work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> queued_;
    // Buffers already handled, taken again for the next pieces: a new buffer
    // of a megabyte would be fresh pages to fault in each time.
    std::vector<std::string> spare_;
    bool busy_ = false;
    bool closing_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

} // namespace korvana
