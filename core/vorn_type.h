#ifndef ZARN_CORE_VORN_TYPE_H
#define ZARN_CORE_VORN_TYPE_H

// Type code of a port or of an event-record property. The pointer that
// travels with a code points to a value of the type named in the comment.
enum vorn_type {
    vorn_none = 0,                   // an output not typed yet
    vorn_uchar = 1,                  // unsigned char
    vorn_schar = 2,                  // signed char
    vorn_char = 3,                   // char
    vorn_uint16 = 4,                 // unsigned short
    vorn_short = 5,                  // short
    vorn_uint32 = 6,                 // unsigned int
    vorn_int = 7,                    // int
    vorn_bool = 8,                   // bool
    vorn_float = 9,                  // float
    vorn_double = 10,                // double
    vorn_uint64 = 11,                // unsigned long
    vorn_cstring = 13,               // char, NUL-terminated text
    vorn_any = 18,                   // anything; on ports an empty signal
    vorn_string = 19,                // std::string
    vorn_vector_short = 20,          // std::vector<short>
    vorn_vector_int = 21,            // std::vector<int>
    vorn_vector_uint64 = 22,         // std::vector<unsigned long>
    vorn_vector_bool = 23,           // std::vector<bool>
    vorn_vector_float = 24,          // std::vector<float>
    vorn_vector_double = 25,         // std::vector<double>
    vorn_vector_string = 26,         // std::vector<std::string>
    vorn_vector_vector_short = 27,   // std::vector<std::vector<short> >
    vorn_vector_vector_int = 28,     // std::vector<std::vector<int> >
    vorn_vector_vector_float = 29,   // std::vector<std::vector<float> >
    vorn_vector_vector_double = 30,  // std::vector<std::vector<double> >
    vorn_tavrel = 100                // a stringstore (an event record)
};

#endif
