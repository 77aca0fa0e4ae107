#include "FeventReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace fevent {

namespace {

const size_t kBufferSize = 1 << 16;

inline bool isSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

Source::Source()
    : fd_(-1),
      open_(false),
      good_(false),
      memory_(false),
      buffer_(nullptr),
      next_(nullptr),
      end_(nullptr),
      bufferStart_(0),
      size_(0),
      sizeKnown_(false) {}

Source::~Source() { close(); }

bool Source::open(const std::string& path) {
    close();
    // Opening a pipe without a writer would block; reads from it then end.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    open_ = good_ = true;
    sizeKnown_ = S_ISREG(status.st_mode);
    size_ = sizeKnown_ ? static_cast<uint64_t>(status.st_size) : 0;
    storage_.resize(kBufferSize);
    buffer_ = next_ = end_ = storage_.data();
    bufferStart_ = 0;
    return true;
}

void Source::openMemory(const void* data, size_t size) {
    close();
    memory_ = open_ = good_ = sizeKnown_ = true;
    size_ = size;
    buffer_ = next_ = static_cast<const unsigned char*>(data);
    end_ = buffer_ + size;
    bufferStart_ = 0;
}

void Source::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    open_ = good_ = memory_ = sizeKnown_ = false;
    buffer_ = next_ = end_ = nullptr;
    bufferStart_ = size_ = 0;
}

bool Source::fail() {
    good_ = false;
    return false;
}

bool Source::fill() {
    if (memory_ || fd_ < 0) return false;
    bufferStart_ = position();
    buffer_ = next_ = end_ = storage_.data();
    for (;;) {
        ssize_t got = ::read(fd_, storage_.data(), storage_.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        end_ = buffer_ + got;
        return true;
    }
}

bool Source::readSlow(void* out, size_t size) {
    if (!good_) return false;
    unsigned char* to = static_cast<unsigned char*>(out);
    while (size > 0) {
        if (next_ == end_ && !fill()) return fail();
        size_t part = std::min(size, static_cast<size_t>(end_ - next_));
        std::memcpy(to, next_, part);
        next_ += part;
        to += part;
        size -= part;
    }
    return true;
}

int Source::peekSlow() {
    if (!good_) return -1;
    if (next_ == end_ && !fill()) return fail(), -1;
    return *next_;
}

template <class Keep> bool Source::readToken(Keep keep) {
    int c;
    while ((c = peek()) >= 0 && isSpace(c)) ++next_;
    if (c < 0) return false;
    // The token ends at white space or at the end of the input; the end
    // leaves the source good, so only the next read fails.
    while (next_ < end_ || (good_ && fill())) {
        const unsigned char* start = next_;
        while (next_ < end_ && !isSpace(*next_)) ++next_;
        keep(start, next_);
        if (next_ < end_) return true;
    }
    return true;
}

bool Source::token(std::string& out) {
    out.clear();
    return readToken([&](const unsigned char* from, const unsigned char* to) {
        out.append(reinterpret_cast<const char*>(from), static_cast<size_t>(to - from));
    });
}

bool Source::token(char* out, size_t keep) {
    size_t kept = 0;
    bool found = readToken([&](const unsigned char* from, const unsigned char* to) {
        size_t part = std::min(keep - kept, static_cast<size_t>(to - from));
        std::memcpy(out + kept, from, part);
        kept += part;
    });
    out[kept] = '\0';
    return found;
}

bool Source::expect(uint64_t size) {
    if (!good_) return false;
    if (!sizeKnown_) return true;
    uint64_t at = position();
    if (at + size <= size_) return true;
    struct stat status;
    if (!memory_ && fstat(fd_, &status) == 0) size_ = static_cast<uint64_t>(status.st_size);
    return at + size <= size_ || fail();
}

bool Source::seek(uint64_t offset) {
    if (!open_ || offset > position()) return false;
    if (offset >= bufferStart_) {
        next_ = buffer_ + (offset - bufferStart_);
        return true;
    }
    if (memory_ || lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return false;
    bufferStart_ = offset;
    buffer_ = next_ = end_ = storage_.data();
    return true;
}

size_t Source::readSome(unsigned char* out, size_t size) {
    size_t got = 0;
    while (got < size && (next_ < end_ || (good_ && fill()))) {
        size_t part = std::min(size - got, static_cast<size_t>(end_ - next_));
        std::memcpy(out + got, next_, part);
        next_ += part;
        got += part;
    }
    return got;
}

bool readCount(Source& in, unsigned countWidth, size_t& count) {
    if (countWidth == 1) {
        uint8_t narrow;
        if (!in.get(narrow)) return false;
        count = narrow;
        return true;
    }
    uint16_t wide;
    if (!in.get(wide)) return false;
    count = wide;
    return true;
}

bool readText(Source& in, std::string& out, bool separated) {
    char separator;
    return in.token(out) && (!separated || in.get(separator));
}

bool readText(Source& in, char* out, size_t capacity, bool separated) {
    char separator;
    return in.token(out, capacity - 1) && (!separated || in.get(separator));
}

bool readVector(Source& in, std::vector<bool>& out, unsigned countWidth) {
    size_t count;
    if (!readCount(in, countWidth, count) || !in.expect(count)) return false;
    out.resize(count);
    for (size_t i = 0; i < count; ++i) {
        uint8_t byte;
        if (!in.get(byte)) return false;
        out[i] = byte != 0;
    }
    return true;
}

bool readVector(Source& in, std::vector<std::string>& out, unsigned countWidth, bool separated) {
    size_t count;
    if (!readCount(in, countWidth, count) || !in.expect(count * (separated ? 2 : 1))) return false;
    out.resize(count);
    for (std::string& text : out)
        if (!readText(in, text, separated)) return false;
    return true;
}

bool readValue(Source& in, int type, void* storage) {
    const unsigned kWidth = 2;
    switch (type) {
        case vorn_uchar:
        case vorn_schar:
        case vorn_char: return in.read(storage, 1);
        case vorn_uint16:
        case vorn_short: return in.read(storage, 2);
        case vorn_uint32:
        case vorn_int:
        case vorn_float: return in.read(storage, 4);
        case vorn_double:
        case vorn_uint64: return in.read(storage, 8);
        case vorn_bool: {
            uint8_t byte;
            if (!in.get(byte)) return false;
            *static_cast<bool*>(storage) = byte != 0;
            return true;
        }
        case vorn_cstring: return readText(in, static_cast<char*>(storage), kTextCapacity, true);
        case vorn_string: return readText(in, *static_cast<std::string*>(storage), true);
        case vorn_vector_short: return readVector(in, *static_cast<std::vector<short>*>(storage), kWidth);
        case vorn_vector_int: return readVector(in, *static_cast<std::vector<int>*>(storage), kWidth);
        case vorn_vector_uint64: return readVector(in, *static_cast<std::vector<unsigned long>*>(storage), kWidth);
        case vorn_vector_bool: return readVector(in, *static_cast<std::vector<bool>*>(storage), kWidth);
        case vorn_vector_float: return readVector(in, *static_cast<std::vector<float>*>(storage), kWidth);
        case vorn_vector_double: return readVector(in, *static_cast<std::vector<double>*>(storage), kWidth);
        case vorn_vector_string:
            return readVector(in, *static_cast<std::vector<std::string>*>(storage), kWidth, true);
        case vorn_vector_vector_short:
            return readVector(in, *static_cast<std::vector<std::vector<short> >*>(storage), kWidth);
        case vorn_vector_vector_int:
            return readVector(in, *static_cast<std::vector<std::vector<int> >*>(storage), kWidth);
        case vorn_vector_vector_float:
            return readVector(in, *static_cast<std::vector<std::vector<float> >*>(storage), kWidth);
        case vorn_vector_vector_double:
            return readVector(in, *static_cast<std::vector<std::vector<double> >*>(storage), kWidth);
        default: return true;
    }
}

bool DeclaredTypes::add(const Declaration& declaration) {
    return typeOf_.insert(std::make_pair(declaration.name, declaration.type)).first->second == declaration.type;
}

void readHeader(Source& in, Header& header) {
    header.status = Header::truncated;
    header.countRead = false;
    header.declarations.clear();
    header.conflictName.clear();
    if (!in.get(header.count)) return;
    header.countRead = true;
    DeclaredTypes types;
    for (unsigned i = 0; i < header.count; ++i) {
        Declaration declaration;
        int8_t type;
        if (!readText(in, declaration.name, true) || !in.get(type) || !in.get(declaration.bins) ||
            !in.get(declaration.min) || !in.get(declaration.max))
            return;
        declaration.type = type;
        if (!types.add(declaration)) {
            header.status = Header::conflict;
            header.conflictName = declaration.name;
            return;
        }
        header.declarations.push_back(declaration);
    }
    if (!in.get(header.endMarker)) return;
    header.status = Header::ok;
}

}  // namespace fevent
