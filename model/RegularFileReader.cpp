#include "model/RegularFileReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Closes the descriptor on every way out.
struct Descriptor
{
    explicit Descriptor (int d) noexcept : fd (d) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close (fd);
    }
    Descriptor (const Descriptor&) = delete;
    Descriptor& operator= (const Descriptor&) = delete;

    const int fd;
};

juce::Result fail (const juce::String& reason)
{
    return juce::Result::fail (reason);
}

juce::String describeKind (mode_t mode)
{
    if (S_ISDIR (mode))
        return "it is a folder";

    if (S_ISFIFO (mode))
        return "it is a pipe, not a file";

    if (S_ISCHR (mode) || S_ISBLK (mode))
        return "it is a device, not a file";

    return "it is not a regular file";
}

juce::String tooLarge (juce::int64 largestFile)
{
    return "it is far too large for this kind of file (more than " + juce::File::descriptionOfSizeInBytes (largestFile) + ")";
}
} // namespace

RegularFileReader::Read RegularFileReader::read (const juce::File& file, juce::int64 largestFile)
{
    Read read;

    // Opened without waiting, so that a FIFO cannot block the open; only the
    // kind of what was opened decides whether it is read.
    const Descriptor d (::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));

    if (d.fd < 0)
    {
        const auto error = errno;
        read.exists = error != ENOENT && error != ENOTDIR;

        if (read.exists)
            read.result = fail (error == EISDIR ? juce::String ("it is a folder") : juce::String (std::strerror (error)));

        return read;
    }

    read.exists = true;
    struct stat status;

    if (::fstat (d.fd, &status) != 0)
    {
        read.result = fail (std::strerror (errno));
        return read;
    }

    if (! S_ISREG (status.st_mode))
    {
        read.result = fail (describeKind (status.st_mode));
        return read;
    }

    if ((juce::int64) status.st_size > largestFile)
    {
        read.result = fail (tooLarge (largestFile));
        return read;
    }

    // A file whose size says nothing (as under /proc) or that grows is read
    // up to one byte past the limit, which tells that it is too large.
    juce::MemoryOutputStream bytes (read.data, false);
    char buffer[65536];

    for (;;)
    {
        const auto got = ::read (d.fd, buffer, sizeof (buffer));

        if (got < 0 && errno == EINTR)
            continue;

        if (got < 0)
        {
            read.result = fail (std::strerror (errno));
            break;
        }

        if (got == 0)
            break;

        bytes.write (buffer, (size_t) got);

        if ((juce::int64) bytes.getDataSize() > largestFile)
        {
            read.result = fail (tooLarge (largestFile));
            break;
        }
    }

    bytes.flush();

    if (read.result.failed())
        read.data.reset();

    return read;
}

juce::String RegularFileReader::asText (const juce::MemoryBlock& data)
{
    // JUCE looks at the byte after a byte-order mark even when the block ends
    // there.
    if ((int) data.getSize() == getByteOrderMarkLength (data))
        return {};

    return juce::String::createStringFromData (data.getData(), (int) data.getSize());
}

bool RegularFileReader::isUtf8 (const juce::MemoryBlock& data)
{
    const auto mark = (size_t) getByteOrderMarkLength (data);
    const auto* text = static_cast<const char*> (data.getData()) + mark;
    const auto size = data.getSize() - mark;

    return std::memchr (text, 0, size) == nullptr && juce::CharPointer_UTF8::isValidString (text, (int) size);
}

int RegularFileReader::getByteOrderMarkLength (const juce::MemoryBlock& data)
{
    return data.getSize() >= 3 && juce::CharPointer_UTF8::isByteOrderMark (data.getData()) ? 3 : 0;
}
