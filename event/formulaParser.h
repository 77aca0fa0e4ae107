#ifndef ZARN_EVENT_FORMULAPARSER_H
#define ZARN_EVENT_FORMULAPARSER_H

#include <string>
#include <vector>

class FlowProperty;

// The formula of one formula property: the fields of its definition, as the
// formula splitter yields them, and the evaluation that computes the
// property's values once per event from other properties of its event.
// Made and owned by Tavrel::ParseFormula; modules call eval() before they
// read the property's value.
// Threads: the flow thread only; nothing is locked.
class formulaParser {
public:
    // Token codes of the diagnostic check: 3 and up index `symbols`.
    enum Symbol {
        symUnknown, symIdentifier, symNumber, symAnd, symOr, symLess, symGreater, symEqual,
        symLessEqual, symGreaterEqual, symOpen, symClose, symTimes, symDivide, symPlus, symMinus,
        symAssign, symOpenBrace, symCloseBrace, symOpenBracket, symCloseBracket, symBar, symColon
    };
    // The operator tokens, tried in this order; null-terminated.
    static const char* symbols[24];

    formulaParser();
    ~formulaParser();
    formulaParser(const formulaParser&) = delete;
    formulaParser& operator=(const formulaParser&) = delete;

    // Fills the fields from `definition` ("Name [(Label)] = right side") and
    // returns the property name, empty when there is none.
    std::string parse(const std::string& definition);

    // Diagnostic check of `rightSide`: it only prints messages.
    bool fo_scan();
    void tokenize();
    bool fo_parse();
    bool fo_expression();
    bool fo_term();
    bool fo_factor();
    bool fo_accept(formulaParser::Symbol wanted);
    void fo_getsym();

    // Computes the result once per event; true when a result was produced.
    bool eval();
    // Forgets the result for the next event, unless the formula is constant.
    void Reset();
    // Looks the argument, cut and index names up in the owning event, once.
    void setProperties();

    std::string Formula;
    std::string CutProperty;
    std::string IndexVar;
    std::string Function;
    std::string Label;
    std::string CutString;
    std::vector<std::string> Arguments;
    std::vector<double> Map;
    int Index;
    int Sum;
    int Modulus;
    double Offset;
    double Factor;
    double CutBegin;
    double CutLength;
    double Divider;
    FlowProperty* cutProperty;
    FlowProperty* indexProperty;
    std::vector<FlowProperty*> argumentProperties;
    std::vector<double>* result;
    bool evaluated;
    bool ok;
    bool constant;
    bool propertiesSet;
    bool all;
    bool hasSum;
    bool isSize;
    bool isDiff;
    bool isAbs;
    FlowProperty* property;
    std::string rightSide;
    std::string token;
    std::vector<std::string> tokens;
    std::vector<formulaParser::Symbol> symbolCodes;
    formulaParser::Symbol symbol;
    int position;
    int end;

private:
    struct Cut;

    std::string nameAndLabel(const std::string& left);
    void readFields(const std::string& output, std::string& name);
    void setField(const std::string& key, const char* value, std::string& name);

    Cut cutFlags();
    void computeDifferences();
    bool computeValues(const FlowProperty& argument, const Cut& cut);
    template <class T> void computeOver(const std::vector<T>& values, const Cut& cut);
    template <class T, class Selected> void appendValues(const std::vector<T>& values, Selected selected);
    void selectValues();
};

#endif
