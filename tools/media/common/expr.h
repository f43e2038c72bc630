// Arithmetic in the generators' sources. A token may hold expressions in
// braces, "{f*18}" or "fin{f%2}": each is evaluated with the variables in
// scope and replaced by its value (whole numbers without a point), so frames
// of an animation are written once with the frame index as a variable.
//
// Grammar: sums and differences of products (* / %) of unary terms; a term
// is a number, a variable, a call sin(x), cos(x) (degrees), abs, floor,
// round, sqrt, min(a,b), max(a,b), or a parenthesised expression.
#pragma once
#include <map>
#include <string>

namespace media {

using Variables = std::map<std::string, double>;

// Throws MediaError (without a place; callers add it) on a syntax error, an
// unknown name or a division by zero.
double evaluate(const std::string& expression, const Variables& vars);

// Replaces every {expression} of the text by its value.
std::string substitute(const std::string& text, const Variables& vars);

// A number as a token writes it: "3", "-2", "0.25".
std::string formatNumber(double value);

}  // namespace media
