// The script language of the stand-in kernel: statements are parsed into
// small expression trees and checked once, so a parse run reports every
// error a later assembly would meet.
//
//   INT n = 5;  DBL r(0.5, 0.1, 2.0, "Radius");     typed parameters
//   func arm(x) = cylinder(x, 1, 16).rz(90);         functions (also { ...; return e; })
//   a = sphere(r, 24).ty(1).rgb(1, 0, 0);            variables, method chains
//   b = box(1) + a;  c = b - a;                       union; difference keeps b
//   a.rx90;                                          chain on a variable updates it
//   return a + b;                                    result
#pragma once

#include <string>
#include <vector>

#include "script/statements.h"

enum ExprKind { EXPR_NUMBER, EXPR_STRING, EXPR_NAME, EXPR_CALL, EXPR_METHOD, EXPR_ADD, EXPR_SUB, EXPR_NEG };

// Nodes live in one pool per statement and refer to each other by index.
struct ExprNode {
    ExprKind kind = EXPR_NUMBER;
    double number = 0.0;
    std::string text;          // name, string value, method or callee name
    int base = -1;             // method receiver, or left operand
    int right = -1;            // right operand
    std::vector<int> args;
    bool has_parens = false;   // written with an argument list
};

// The deepest expression tree a statement may build; deeper ones are a
// syntax error, so checking and evaluating them cannot exhaust the stack.
constexpr int kMaxExpressionDepth = 400;

struct ExprTree {
    std::vector<ExprNode> nodes;
    int root = -1;
};

enum OperationKind { OPERATION_ASSIGN, OPERATION_RETURN, OPERATION_EXPRESSION, OPERATION_PARALLEL_RETURN };

struct ParallelInvocation {
    std::string reference;  // text between the parentheses, group prefix included
    std::string name;       // reference without "N|"
    std::string inline_body;
};

struct Operation {
    OperationKind kind = OPERATION_EXPRESSION;
    std::string target;     // assigned variable, or the variable a bare chain updates
    ExprTree expr;
    std::vector<ParallelInvocation> invocations;
    int statement = -1;     // index into ScriptProgram::statements
};

struct FunctionDef {
    std::string name;
    std::vector<std::string> params;
    std::vector<Operation> body;  // "= e" becomes a single return
    int statement = -1;
};

struct ParameterDecl {
    int type = -1;          // 0 INT .. 5 STR
    std::string name;
    double number = 0.0;    // numeric value (BLN as 0/1)
    std::string text;       // CHR and STR value
    int statement = -1;
};

enum ValueType { VALUE_UNKNOWN, VALUE_NUMBER, VALUE_MESH, VALUE_TEXT };

struct ScriptProgram {
    std::vector<ScriptStatement> statements;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::vector<std::string> notes;
    std::vector<ParameterDecl> parameters;
    std::vector<FunctionDef> functions;
    std::vector<Operation> operations;  // only OPERATIONS statements, in order
    int execute_mode = -1;              // 0 pure union, 1 basic CSG, 2 optimal CSG; -1 none
    bool parallel = false;
};

// Parses and checks a whole script. Pushed values arrive as ordinary
// declarations ("// parameters" block); declaring a name twice is an error.
// `header_lines` as for split_statements: error lines count from the
// script's own first line.
ScriptProgram parse_script(const std::string& script, int header_lines = 0);

// Primitive and method tables, shared with the evaluator.
struct CallSignature {
    const char* name;
    int arg_counts[4];  // allowed counts, -1 terminates
};
const CallSignature* find_primitive(const std::string& name);
const CallSignature* find_method(const std::string& name);
bool signature_allows(const CallSignature& sig, int count);

extern const char* const kExecuteModeKeywords[3];
