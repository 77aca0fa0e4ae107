#ifndef ZARN_MODULES_COMMON_FEVENT_FEVENTFORMAT_H
#define ZARN_MODULES_COMMON_FEVENT_FEVENTFORMAT_H

#include <cstdint>
#include <string>

#include "vorn_type.h"

// The .fevent event file: a header that declares each property once (name,
// type code, binning), then one record of values per event. Numbers are
// stored as their bytes in memory on a little-endian machine.
namespace fevent {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "event files hold little-endian numbers");

constexpr uint32_t kMagic = 0xFE022012u;
constexpr uint16_t kHeaderEnd = 0xDEAD;
constexpr uint16_t kEventEnd = 0xE0FE;
// Counts and indices are 16-bit: a header declares at most this many properties.
constexpr size_t kMaxProperties = 65535;

// One property declared in a header. The type is kept as the plain code read
// from the file, which need not be a known vorn_type.
struct Declaration {
    std::string name;
    int type;
    int32_t bins;
    double min;
    double max;
};

// Whether a record stores a value for a property of this type code; for the
// other codes (a nested event among them) it holds the index only.
inline bool carriesValue(int type) {
    return (type >= vorn_uchar && type <= vorn_uint64) || type == vorn_cstring ||
           (type >= vorn_string && type <= vorn_vector_vector_double);
}

}  // namespace fevent

#endif
