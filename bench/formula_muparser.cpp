#include "formula_muparser.h"

#include <muParser.h>

struct MuparserFormula::State {
    mu::Parser parser;
    double t = 0, y = 0;
};

MuparserFormula::MuparserFormula() : state(new State) {
    state->parser.DefineVar("t", &state->t);
    state->parser.DefineVar("y", &state->y);
    state->parser.SetExpr("t >= 0 && t < 100, y * 2 + 1");
}

MuparserFormula::~MuparserFormula() { delete state; }

void MuparserFormula::evaluate(const std::vector<double>& t, const std::vector<double>& y, std::vector<double>& out) {
    const size_t n = y.size();
    for (size_t i = 0; i < n; ++i) {
        state->t = t[i];
        state->y = y[i];
        int results = 0;
        const double* values = state->parser.Eval(results);
        if (values[0] != 0) out.push_back(values[1]);
    }
}
