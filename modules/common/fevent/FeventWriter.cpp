#include "FeventWriter.h"
#include "FileWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace fevent {

void Encoder::putToken(const char* text, size_t length) {
    bytes_.append(text, length);
    bytes_.push_back(' ');
}

void Encoder::putVector(const std::vector<bool>& values) {
    uint16_t count = countOf(values.size());
    put(count);
    for (uint16_t i = 0; i < count; ++i) bytes_.push_back(values[i] ? 1 : 0);
}

void Encoder::putVector(const std::vector<std::string>& values) {
    uint16_t count = countOf(values.size());
    put(count);
    for (uint16_t i = 0; i < count; ++i) putToken(values[i]);
}

void Encoder::putValue(int type, const void* value) {
    switch (type) {
        case vorn_uchar:
        case vorn_schar:
        case vorn_char: put(*static_cast<const char*>(value)); break;
        case vorn_uint16:
        case vorn_short: put(*static_cast<const uint16_t*>(value)); break;
        case vorn_uint32:
        case vorn_int: put(*static_cast<const uint32_t*>(value)); break;
        case vorn_bool: put(static_cast<char>(*static_cast<const bool*>(value) ? 1 : 0)); break;
        case vorn_float: put(*static_cast<const float*>(value)); break;
        case vorn_double: put(*static_cast<const double*>(value)); break;
        case vorn_uint64: put(*static_cast<const uint64_t*>(value)); break;
        case vorn_cstring: {
            const char* text = static_cast<const char*>(value);
            putToken(text, std::strlen(text));
            break;
        }
        case vorn_string: putToken(*static_cast<const std::string*>(value)); break;
        case vorn_vector_short: putVector(*static_cast<const std::vector<short>*>(value)); break;
        case vorn_vector_int: putVector(*static_cast<const std::vector<int>*>(value)); break;
        case vorn_vector_uint64: putVector(*static_cast<const std::vector<unsigned long>*>(value)); break;
        case vorn_vector_bool: putVector(*static_cast<const std::vector<bool>*>(value)); break;
        case vorn_vector_float: putVector(*static_cast<const std::vector<float>*>(value)); break;
        case vorn_vector_double: putVector(*static_cast<const std::vector<double>*>(value)); break;
        case vorn_vector_string: putVector(*static_cast<const std::vector<std::string>*>(value)); break;
        case vorn_vector_vector_short: putVector(*static_cast<const std::vector<std::vector<short> >*>(value)); break;
        case vorn_vector_vector_int: putVector(*static_cast<const std::vector<std::vector<int> >*>(value)); break;
        case vorn_vector_vector_float: putVector(*static_cast<const std::vector<std::vector<float> >*>(value)); break;
        case vorn_vector_vector_double:
            putVector(*static_cast<const std::vector<std::vector<double> >*>(value));
            break;
        default: break;
    }
}

void Encoder::putHeader(const std::vector<Declaration>& header) {
    put(kMagic);
    put(countOf(header.size()));
    for (const Declaration& declaration : header) {
        putToken(declaration.name);
        put(static_cast<int8_t>(declaration.type));
        put(declaration.bins);
        put(declaration.min);
        put(declaration.max);
    }
    put(kHeaderEnd);
}

bool OutputFile::open(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    size_ = 0;
    return fd_ >= 0;
}

bool OutputFile::write(const std::string& bytes) {
    if (writeAll(fd_, bytes)) {
        size_ += bytes.size();
        return true;
    }
    // Shrinking needs neither room on the disk nor a larger size limit.
    if (ftruncate(fd_, static_cast<off_t>(size_)) == 0) lseek(fd_, static_cast<off_t>(size_), SEEK_SET);
    return false;
}

void OutputFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace fevent
