#include "FeventStorage.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "FeventReader.h"

namespace fevent {

namespace {

// Calls `visit` with a null pointer of the storage type of `type`; false
// when the type has no storage.
template <class Visit> bool withStorageType(int type, Visit visit) {
    switch (type) {
        case vorn_uchar: visit(static_cast<unsigned char*>(nullptr)); return true;
        case vorn_schar: visit(static_cast<signed char*>(nullptr)); return true;
        case vorn_char: visit(static_cast<char*>(nullptr)); return true;
        case vorn_uint16: visit(static_cast<unsigned short*>(nullptr)); return true;
        case vorn_short: visit(static_cast<short*>(nullptr)); return true;
        case vorn_uint32: visit(static_cast<unsigned int*>(nullptr)); return true;
        case vorn_int: visit(static_cast<int*>(nullptr)); return true;
        case vorn_bool: visit(static_cast<bool*>(nullptr)); return true;
        case vorn_float: visit(static_cast<float*>(nullptr)); return true;
        case vorn_double: visit(static_cast<double*>(nullptr)); return true;
        case vorn_uint64: visit(static_cast<unsigned long*>(nullptr)); return true;
        case vorn_string: visit(static_cast<std::string*>(nullptr)); return true;
        case vorn_vector_short: visit(static_cast<std::vector<short>*>(nullptr)); return true;
        case vorn_vector_int: visit(static_cast<std::vector<int>*>(nullptr)); return true;
        case vorn_vector_uint64: visit(static_cast<std::vector<unsigned long>*>(nullptr)); return true;
        case vorn_vector_bool: visit(static_cast<std::vector<bool>*>(nullptr)); return true;
        case vorn_vector_float: visit(static_cast<std::vector<float>*>(nullptr)); return true;
        case vorn_vector_double: visit(static_cast<std::vector<double>*>(nullptr)); return true;
        case vorn_vector_string: visit(static_cast<std::vector<std::string>*>(nullptr)); return true;
        case vorn_vector_vector_short: visit(static_cast<std::vector<std::vector<short> >*>(nullptr)); return true;
        case vorn_vector_vector_int: visit(static_cast<std::vector<std::vector<int> >*>(nullptr)); return true;
        case vorn_vector_vector_float: visit(static_cast<std::vector<std::vector<float> >*>(nullptr)); return true;
        case vorn_vector_vector_double: visit(static_cast<std::vector<std::vector<double> >*>(nullptr)); return true;
        default: return false;
    }
}

}  // namespace

void* newStorage(int type) {
    if (type == vorn_cstring) return new char[kTextCapacity]();
    void* made = nullptr;
    withStorageType(type, [&](auto* kind) { made = new std::remove_pointer_t<decltype(kind)>(); });
    return made;
}

void deleteStorage(int type, void* storage) {
    if (storage == nullptr) return;
    if (type == vorn_cstring) {
        delete[] static_cast<char*>(storage);
        return;
    }
    withStorageType(type, [&](auto* kind) { delete static_cast<decltype(kind)>(storage); });
}

}  // namespace fevent
