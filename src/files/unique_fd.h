#pragma once

#include <unistd.h>

#include <utility>

namespace tavrin {

// Owns a file descriptor and closes it when it goes, unless closed before.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1)
        : fd_(fd)
    {
    }
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept
        : fd_(std::exchange(other.fd_, -1))
    {
    }
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    int get() const { return fd_; }
    // Closes now and reports the result, since a delayed write error may surface only here.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

} // namespace tavrin
