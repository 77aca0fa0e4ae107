#ifndef ZARN_BENCH_DELIVERY_FLOOR_H
#define ZARN_BENCH_DELIVERY_FLOOR_H

// The floor of the delivery benchmark: receivers reached by plain virtual
// calls. Made in another file so the compiler cannot turn the calls into
// direct ones.
struct Receiver {
    virtual ~Receiver() {}
    virtual void take(double* value) = 0;
    virtual void takeText(char* value) = 0;
};

Receiver* makePlainSink();

#endif
