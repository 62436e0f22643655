#include "platform/ChangeCounter.h"

#include <atomic>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvana {

ChangeCounter::~ChangeCounter() {
    if (counter_) {
        ::munmap(counter_, bytes);
    }
}

bool ChangeCounter::attach(const std::filesystem::path& file) {
    if (counter_) {
        return true;
    }
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    // Growing the file never clears a counter another process has raised;
    // it only makes sure the mapped bytes exist.
    struct stat status {};
    bool ready = ::fstat(fd, &status) == 0 &&
                 (status.st_size >= static_cast<off_t>(bytes) || ::ftruncate(fd, bytes) == 0);
    if (ready) {
        void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        ready = mapped != MAP_FAILED;
        if (ready) {
            counter_ = static_cast<std::uint64_t*>(mapped);
        }
    }
    ::close(fd);
    return ready;
}

std::uint64_t ChangeCounter::value() const {
    return std::atomic_ref<std::uint64_t>(*counter_).load(std::memory_order_acquire);
}

void ChangeCounter::increment() {
    std::atomic_ref<std::uint64_t>(*counter_).fetch_add(1, std::memory_order_acq_rel);
}

} // namespace korvana
