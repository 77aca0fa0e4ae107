#ifndef ZARN_BENCH_FORMULA_MUPARSER_H
#define ZARN_BENCH_FORMULA_MUPARSER_H

#include <vector>

// The benchmark's formula as muparser evaluates it, element by element: the
// cut "t >= 0 && t < 100" and the value "y * 2 + 1" in one expression.
// Compiled on its own with muparser's string ABI; only vectors cross over.
class MuparserFormula {
public:
    MuparserFormula();
    ~MuparserFormula();
    MuparserFormula(const MuparserFormula&) = delete;
    MuparserFormula& operator=(const MuparserFormula&) = delete;

    // Appends y[i] * 2 + 1 to `out` for every i whose t[i] passes the cut.
    void evaluate(const std::vector<double>& t, const std::vector<double>& y, std::vector<double>& out);

private:
    struct State;
    State* state;
};

#endif
