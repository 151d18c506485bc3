#include "quenarch/freedesktop/file_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenarch::freedesktop {

std::string fileText(const std::filesystem::path& path)
{
    // One read into a string of the file's size, without the set-up of a stream.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return {};
    std::string text;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        text.resize(static_cast<std::size_t>(status.st_size));
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t got = ::read(descriptor, text.data() + done, text.size() - done);
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        text.resize(done);
    }
    ::close(descriptor);
    return text;
}

} // namespace quenarch::freedesktop
