#include "watcher/linux/PosixFileAppend.h"

#include "common/linux/XdgPaths.h"
#include "common/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly {

namespace {

constexpr char16_t kNotRegularFile[] = u"not a regular file";

std::u16string Describe(int error)
{
    return Utf8ToUtf16(std::strerror(error));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    // Closing reports the last write-back errors of some file systems.
    int release()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

} // namespace

bool PosixFileAppend::EnsureFolder(std::u16string_view folder)
{
    return tessaly::EnsureFolder(Utf16ToUtf8(folder));
}

std::u16string PosixFileAppend::Append(std::u16string_view path, std::string_view bytes)
{
    const std::string name = Utf16ToUtf8(path);
    // The system reads a name only up to a NUL, which would name another file.
    if (name.find('\0') != std::string::npos)
        return u"the file name holds a NUL character";
    // Only a regular file is opened at all: opening a device or a FIFO may wait, or do something.
    struct stat info {};
    if (::stat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return kNotRegularFile;
    // O_NONBLOCK: a FIFO put there after that look would otherwise wait for a reader, forever;
    // O_NOCTTY: a terminal put there must not become the program's.
    Descriptor file(::open(
        name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return Describe(errno);
    if (::fstat(file.get(), &info) != 0)
        return Describe(errno);
    if (!S_ISREG(info.st_mode))
        return kNotRegularFile;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(file.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            if (written == 0)
                return Describe(error);
            // A line is whole or absent: cut the partial one back off. The line began where this
            // write left the offset, less what it wrote (another writer may have appended before).
            const off_t end = ::lseek(file.get(), 0, SEEK_CUR);
            if (end < 0 || ::ftruncate(file.get(), end - static_cast<off_t>(written)) != 0)
                return Describe(error) + u" (and the partial line stays)";
            return Describe(error);
        }
        written += static_cast<std::size_t>(n);
    }
    if (file.release() != 0)
        return Describe(errno);
    return {};
}

void PosixFileAppend::Warn(std::u16string_view message)
{
    if (warn_)
        warn_(message);
}

} // namespace tessaly
