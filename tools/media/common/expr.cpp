// A small recursive-descent evaluator for the expressions of the sources.
#include "expr.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "media_error.h"

namespace media {
namespace {

constexpr double kPi = 3.14159265358979323846;

class Parser {
public:
    Parser(const std::string& text, const Variables& vars) : s_(text), vars_(vars) {}

    double parseAll() {
        double v = sum();
        skipBlanks();
        if (pos_ != s_.size()) fail("unexpected '" + s_.substr(pos_, 1) + "'");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw MediaError("in expression '" + s_ + "': " + why);
    }
    void skipBlanks() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    double sum() {
        double v = product();
        for (;;) {
            if (accept('+')) v += product();
            else if (accept('-')) v -= product();
            else return v;
        }
    }
    double product() {
        double v = unary();
        for (;;) {
            if (accept('*')) {
                v *= unary();
            } else if (accept('/')) {
                double d = unary();
                if (d == 0) fail("division by zero");
                v /= d;
            } else if (accept('%')) {
                double d = unary();
                if (d == 0) fail("division by zero");
                v = v - d * std::floor(v / d);  // never negative for d > 0
            } else {
                return v;
            }
        }
    }
    double unary() {
        if (accept('-')) return -unary();
        if (accept('+')) return unary();
        return primary();
    }
    double primary() {
        skipBlanks();
        if (accept('(')) {
            double v = sum();
            if (!accept(')')) fail("missing ')'");
            return v;
        }
        if (pos_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.')) {
            const char* begin = s_.c_str() + pos_;
            char* end = nullptr;
            double v = std::strtod(begin, &end);
            if (end == begin) fail("bad number");
            pos_ += static_cast<size_t>(end - begin);
            return v;
        }
        size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
        if (start == pos_) fail(pos_ < s_.size() ? "unexpected '" + s_.substr(pos_, 1) + "'" : "missing value");
        std::string name = s_.substr(start, pos_ - start);
        if (accept('(')) return call(name);
        auto it = vars_.find(name);
        if (it == vars_.end()) fail("unknown name '" + name + "'");
        return it->second;
    }
    double call(const std::string& name) {
        double a = sum();
        double b = 0;
        bool two = false;
        if (accept(',')) {
            b = sum();
            two = true;
        }
        if (!accept(')')) fail("missing ')' after the arguments of " + name);
        auto needs = [&](bool wantTwo) {
            if (two != wantTwo) fail(name + " takes " + (wantTwo ? "two arguments" : "one argument"));
        };
        if (name == "sin") { needs(false); return std::sin(a * kPi / 180); }
        if (name == "cos") { needs(false); return std::cos(a * kPi / 180); }
        if (name == "abs") { needs(false); return std::fabs(a); }
        if (name == "floor") { needs(false); return std::floor(a); }
        if (name == "round") { needs(false); return std::floor(a + 0.5); }
        if (name == "sqrt") {
            needs(false);
            if (a < 0) fail("square root of a negative number");
            return std::sqrt(a);
        }
        if (name == "min") { needs(true); return a < b ? a : b; }
        if (name == "max") { needs(true); return a > b ? a : b; }
        fail("unknown function '" + name + "'");
    }

    const std::string& s_;
    const Variables& vars_;
    size_t pos_ = 0;
};

}  // namespace

double evaluate(const std::string& expression, const Variables& vars) {
    return Parser(expression, vars).parseAll();
}

std::string formatNumber(double value) {
    if (std::fabs(value - std::round(value)) < 1e-9 && std::fabs(value) < 1e15) {
        long long whole = std::llround(value);
        return std::to_string(whole);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string substitute(const std::string& text, const Variables& vars) {
    if (text.find('{') == std::string::npos) {
        if (text.find('}') != std::string::npos) throw MediaError("'}' without '{' in '" + text + "'");
        return text;
    }
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find('{', i);
        size_t strayClose = text.find('}', i);
        if (strayClose < open) throw MediaError("'}' without '{' in '" + text + "'");
        if (open == std::string::npos) {
            out += text.substr(i);
            break;
        }
        size_t close = text.find('}', open + 1);
        if (close == std::string::npos) throw MediaError("'{' without '}' in '" + text + "'");
        out += text.substr(i, open - i);
        out += formatNumber(evaluate(text.substr(open + 1, close - open - 1), vars));
        i = close + 1;
    }
    return out;
}

}  // namespace media
