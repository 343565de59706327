// Compiles routine declarations into call records: items, extent expressions, conversion order,
// call form and docstring. Runs once per routine when the module is imported.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "engine.hpp"

namespace vorlen::py {

namespace {

std::string trim(std::string s) {
    auto b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Splits at top-level commas.
std::vector<std::string> split_top(const std::string& s) {
    std::vector<std::string> out;
    int depth = 0;
    std::string cur;
    for (char c : s) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            out.push_back(trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(trim(cur));
    return out;
}

struct Parser {
    Parser(const std::string& src, const std::map<std::string, int>& n) : s(src), names(n) {}
    const std::string& s;
    size_t i = 0;
    const std::map<std::string, int>& names;
    std::string error;
    std::set<int> used;
    Expr out;

    void ws() {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    }
    bool eat(const char* tok) {
        ws();
        size_t n = std::char_traits<char>::length(tok);
        if (s.compare(i, n, tok) == 0) {
            i += n;
            return true;
        }
        return false;
    }
    void emit(Expr::Op op, i64 v = 0, int d = 0) { out.steps.push_back({op, v, d}); }
    std::string ident() {
        ws();
        size_t b = i;
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
        return s.substr(b, i - b);
    }
    int lookup(const std::string& n) {
        auto it = names.find(n);
        if (it == names.end()) {
            if (error.empty()) error = "unknown name '" + n + "'";
            return 0;
        }
        used.insert(it->second);
        return it->second;
    }
    void primary() {
        ws();
        if (eat("(")) {
            lor();
            if (!eat(")") && error.empty()) error = "')' expected";
            return;
        }
        if (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            char* end;
            emit(Expr::num, std::strtoll(s.c_str() + i, &end, 10));
            i = end - s.c_str();
            return;
        }
        std::string id = ident();
        if (id.empty()) {
            if (error.empty()) error = "expression expected at '" + s.substr(i) + "'";
            return;
        }
        if (id == "abs" && eat("(")) {
            lor();
            if (!eat(")") && error.empty()) error = "')' expected";
            emit(Expr::abs);
            return;
        }
        if ((id == "shape" || id == "size") && eat("(")) {
            int a = lookup(ident());
            int d = 0;
            if (id == "shape") {
                if (!eat(",") && error.empty()) error = "shape(x, k) expected";
                ws();
                d = static_cast<int>(std::strtol(s.c_str() + i, nullptr, 10));
                while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
            }
            if (!eat(")") && error.empty()) error = "')' expected";
            emit(id == "shape" ? Expr::shape : Expr::size, a, d);
            return;
        }
        emit(Expr::arg, lookup(id));
    }
    void unary() {
        if (eat("-")) {
            unary();
            emit(Expr::neg);
        } else {
            primary();
        }
    }
    void term() {
        unary();
        for (;;) {
            if (eat("*")) unary(), emit(Expr::mul);
            else if (eat("/")) unary(), emit(Expr::div);
            else return;
        }
    }
    void sum() {
        term();
        for (;;) {
            if (eat("+")) term(), emit(Expr::add);
            else if (eat("-")) term(), emit(Expr::sub);
            else return;
        }
    }
    void cmp() {
        sum();
        static const std::pair<const char*, Expr::Op> ops[] = {
            {"==", Expr::eq}, {"!=", Expr::ne}, {"<=", Expr::le},
            {">=", Expr::ge}, {"<", Expr::lt},  {">", Expr::gt}};
        for (auto& [tok, op] : ops)
            if (eat(tok)) {
                sum();
                emit(op);
                return;
            }
    }
    void land() {
        cmp();
        while (eat("&&")) cmp(), emit(Expr::land);
    }
    void lor() {
        land();
        while (eat("||")) land(), emit(Expr::lor);
    }
};

// Position of the "=" that starts a default: outside parentheses and not part of ==, <=, >=, !=.
size_t default_sign(const std::string& s) {
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '(') ++depth;
        else if (s[i] == ')') --depth;
        else if (s[i] == '=' && depth == 0) {
            const bool before = i > 0 && std::strchr("=<>!", s[i - 1]);
            const bool after = i + 1 < s.size() && s[i + 1] == '=';
            if (!before && !after) return i;
            if (after) ++i;
        }
    }
    return std::string::npos;
}

// What a routine declaration or a callback form declares.
struct Decl {
    std::string name;
    const char* ctypes;  // result code, then one per argument
    std::vector<std::string> items;
    const std::vector<CallbackHook>* hooks;  // routine arguments (null for a form)
    bool complex_as_real = false;            // form: items of type D may be doubles in the library
    const char* note = nullptr;              // text of the docstring's Notes
};

bool fail(const Decl& e, const std::string& what) {
    PyErr_Format(PyExc_ImportError, "declaration of routine %s: %s", e.name.c_str(), what.c_str());
    return false;
}

// Splits a list of items at top-level commas; the comma of an intent such as "in,out" stays.
std::vector<std::string> split_items(const std::string& s) {
    std::vector<std::string> out;
    for (auto& piece : split_top(s)) {
        if (!out.empty() && out.back().find(' ') == std::string::npos)
            out.back() += "," + piece;
        else
            out.push_back(piece);
    }
    return out;
}

// Position of the parenthesis that closes the one at `open`, or npos.
size_t closing(const std::string& s, size_t open) {
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        if (s[i] == '(') ++depth;
        if (s[i] == ')' && --depth == 0) return i;
    }
    return std::string::npos;
}

const char* scalar_word(char t) {
    switch (t) {
    case 'd': return "float";
    case 'D': return "complex";
    default: return "int";
    }
}

std::string bounds(const Arg& a) {
    std::string s = "(";
    for (size_t k = 0; k < a.dimtext.size(); ++k) s += (k ? "," : "") + a.dimtext[k];
    return s + ")";
}

std::string text_length(const Arg& a) {
    return a.textlen == -2 ? a.textexpr.text : std::to_string(a.textlen);
}

std::string describe_in(const Arg& a) {
    std::string s = a.name + " : ";
    if (a.callback) return s + "call-back function";
    if (a.rank > 0)
        return s + (a.inout ? "in/output" : "input") + " rank-" + std::to_string(a.rank) +
               " array('" + a.type + "') with bounds " + bounds(a);
    if (a.inout) return s + "in/output rank-0 array(" + scalar_word(a.type) + ",'" +
                        (a.type == 'D' ? 'D' : a.type) + "')";
    if (a.type == 's') return s + "input string(len=" + text_length(a) + ")";
    return s + "input " + scalar_word(a.type);
}

std::string describe_out(const Arg& a) {
    std::string s = a.name + " : ";
    if (a.rank > 0)
        return s + "rank-" + std::to_string(a.rank) + " array('" + a.type + "') with bounds " +
               bounds(a);
    if (a.type == 's') return s + "string(len=" + text_length(a) + ")";
    return s + scalar_word(a.type);
}

// The docstring entry of a callback form, as the Notes of its routine show it.
std::string form_doc(const Routine& f, const std::vector<int>& returned) {
    std::string req, opt, ret, args;
    for (size_t p = 0; p < f.callform.size(); ++p) {
        const Arg& a = f.args[f.callform[p]];
        args +=
            std::string(p ? "," : "") + (static_cast<int>(p) == f.nrequired ? "[" : "") + a.name;
        if (a.required)
            req += "        " + describe_in(a) + "\n";
        else
            opt += "        " + describe_in(a) + ", optional\n            Default: " + a.dflttext +
                   "\n";
    }
    if (static_cast<int>(f.callform.size()) > f.nrequired) args += "]";
    std::string names;
    for (size_t p = 0; p < returned.size(); ++p) {
        names += std::string(p ? "," : "") + f.args[returned[p]].name;
        ret += "        " + describe_out(f.args[returned[p]]) + "\n";
    }
    std::string doc = "    def " + f.name + "(" + args + "): return " + names + "\n";
    if (!req.empty()) doc += "    Required arguments:\n" + req;
    if (!opt.empty()) doc += "    Optional arguments:\n" + opt;
    if (!ret.empty()) doc += "    Return objects:\n" + ret;
    return doc;
}

bool compile_decl(const Decl& e, const char* module, Routine& r);

}  // namespace

bool compile(const Entry& e, const char* module, Routine& r) {
    Decl d{e.name, e.ctypes, {e.items.begin(), e.items.end()}, &e.hooks, false, e.note};
    r.address = e.address;
    r.call = e.call;
    return compile_decl(d, module, r);
}

namespace {

bool compile_decl(const Decl& e, const char* module, Routine& r) {
    const bool is_form = e.hooks == nullptr;
    r.name = e.name;
    r.module = module;
    r.qualname = std::string("_vorlen.") + module + "." + e.name;
    r.returns = e.ctypes[0] != 'v';
    const size_t nparams = std::char_traits<char>::length(e.ctypes) - 1;
    if (e.items.size() != nparams + (r.returns ? 1 : 0))
        return fail(e, "has " + std::to_string(e.items.size()) + " items for " +
                           std::to_string(nparams) + " arguments" +
                           (r.returns ? " and a function value" : ""));
    if (e.items.size() > static_cast<size_t>(max_args)) return fail(e, "too many arguments");

    // Pass 1: intents, types, names; extents, defaults and checks kept as text.
    std::map<std::string, int> names;
    std::vector<std::string> dimsrc(e.items.size()), dfltsrc(e.items.size()),
        checksrc(e.items.size()), lensrc(e.items.size()), formsrc(e.items.size()),
        complexsrc(e.items.size()), absentsrc(e.items.size());
    for (size_t k = 0; k < e.items.size(); ++k) {
        std::string item = trim(e.items[k]);
        Arg a;
        if (item.compare(0, 9, "callback ") == 0 && !is_form) {
            // callback <name>(<form items>) [complex(<condition>)] [partial]
            const size_t open = item.find('('), close = closing(item, open);
            if (open == std::string::npos || close == std::string::npos)
                return fail(e, "callback item '" + item + "' needs its form in parentheses");
            a.name = trim(item.substr(9, open - 9));
            formsrc[k] = item.substr(open + 1, close - open - 1);
            std::string after = trim(item.substr(close + 1));
            bool partial = false;
            if (after.size() >= 7 && after.compare(after.size() - 7, 7, "partial") == 0)
                partial = true, after = trim(after.substr(0, after.size() - 7));
            if (!after.empty()) {
                if (after.compare(0, 8, "complex(") != 0 || after.back() != ')')
                    return fail(e, "unexpected '" + after + "' after the form of " + a.name);
                complexsrc[k] = after.substr(8, after.size() - 9);
            }
            a.required = a.callback = true;
            a.type = '@';
            a.cbindex = static_cast<int>(r.callbacks.size());
            r.callbacks.emplace_back();
            r.callbacks.back().arg = static_cast<int>(k);
            r.callbacks.back().partial = partial;
            if (r.callbacks.size() > static_cast<size_t>(max_callbacks))
                return fail(e, "too many routine arguments");
            if (names.count(a.name)) return fail(e, "argument " + a.name + " declared twice");
            names[a.name] = static_cast<int>(k);
            r.args.push_back(std::move(a));
            continue;
        }
        size_t sp1 = item.find(' ');
        size_t sp2 = item.find(' ', sp1 + 1);
        if (sp1 == std::string::npos || sp2 == std::string::npos)
            return fail(e, "item '" + item + "' needs intent, type and name");
        std::string intent = item.substr(0, sp1), type = item.substr(sp1 + 1, sp2 - sp1 - 1);
        std::string rest = trim(item.substr(sp2 + 1));
        if (size_t c = rest.find("check("); c != std::string::npos) {
            size_t close = rest.rfind(')');
            checksrc[k] = trim(rest.substr(c + 6, close - c - 6));
            rest = trim(rest.substr(0, c));
        }
        if (size_t c = rest.find(" absent("); c != std::string::npos) {
            size_t close = rest.rfind(')');
            absentsrc[k] = trim(rest.substr(c + 8, close - c - 8));
            rest = trim(rest.substr(0, c));
        }
        if (size_t eq = default_sign(rest); eq != std::string::npos) {
            dfltsrc[k] = trim(rest.substr(eq + 1));
            rest = trim(rest.substr(0, eq));
        }
        if (size_t p = rest.find('('); p != std::string::npos) {
            dimsrc[k] = rest.substr(p + 1, rest.rfind(')') - p - 1);
            rest = trim(rest.substr(0, p));
        }
        a.name = rest;
        if (intent == "in") a.required = true;
        else if (intent == "opt") a.optional = true;
        else if (intent == "out") a.hidden = a.returned = true;
        else if (intent == "in,out") a.required = a.returned = true;
        else if (intent == "opt,out") a.optional = a.returned = true;
        else if (intent == "inout") a.required = a.inout = true;
        else if (intent == "hide") a.hidden = true;
        else return fail(e, "unknown intent '" + intent + "' of " + a.name);
        if (is_form && (a.hidden || (a.optional && a.returned)))
            return fail(e, "a callback form passes every item: " + a.name);
        if (type == "i" || type == "d" || type == "D" || type == "b" || type == "c") {
            a.type = type[0];
        } else if (type.size() > 3 && type.compare(0, 2, "s(") == 0 && type.back() == ')') {
            a.type = 's';
            a.textlen = -2;
            lensrc[k] = type.substr(2, type.size() - 3);
        } else if (type[0] == 's') {
            a.type = 's';
            a.textlen = type == "s*" ? -1 : std::atoi(type.c_str() + 1);
            if (a.textlen == 0) return fail(e, "text length of " + a.name);
        } else {
            return fail(e, "unknown type '" + type + "' of " + a.name);
        }
        if (names.count(a.name)) return fail(e, "argument " + a.name + " declared twice");
        names[a.name] = static_cast<int>(k);
        r.args.push_back(std::move(a));
    }

    // The C parameter types must match the declared items.
    for (size_t k = 0; k < r.args.size(); ++k) {
        const Arg& a = r.args[k];
        char code = e.ctypes[r.returns ? k : k + 1];
        const bool constant = code >= 'A' && code <= 'Z' && code != '@';
        char base = static_cast<char>(std::tolower(code));
        char want = a.type == 'D' ? 'z' : a.type == 'c' ? 's' : a.type;
        if (a.callback) want = '@';
        if (base != want && !(a.type == 'D' && base == 'd' && e.complex_as_real))
            return fail(e, "argument " + a.name + " is declared '" + a.type +
                               "' but the routine takes '" + code + "'");
        if (is_form) {  // the library hands these over; those given back must be writable
            if ((a.inout || a.returned) && constant)
                return fail(e, "argument " + a.name + " is read-only in the routine");
            if (a.returned && dimsrc[k].empty() && a.type != 'd' && a.type != 'i')
                return fail(e, "a returned scalar is a double or an integer: " + a.name);
            continue;
        }
        // A returned scalar input is handed back as the routine left it, which may be unchanged.
        const bool writes = a.inout || (a.hidden && a.returned) || (a.returned && a.rank > 0);
        if (writes && constant) return fail(e, "argument " + a.name + " is read-only in the routine");
        if (!writes && !a.returned && !constant && !a.callback)
            return fail(e, "input " + a.name + " must be a pointer to const in the routine");
    }
    if (r.returns && !(r.args[0].hidden && r.args[0].returned && r.args[0].rank == 0))
        return fail(e, "the function value must be the first item, an 'out' scalar");

    // Pass 2: expressions.
    auto parse = [&](const std::string& src, Expr& x, std::set<int>* used) -> bool {
        Parser p(src, names);
        p.lor();
        p.ws();
        if (p.error.empty() && p.i != src.size()) p.error = "unexpected '" + src.substr(p.i) + "'";
        if (!p.error.empty()) return fail(e, "expression '" + src + "': " + p.error);
        x = std::move(p.out);
        x.text = src;
        if (used) used->insert(p.used.begin(), p.used.end());
        return true;
    };
    for (Callback& cb : r.callbacks) {
        const int k = cb.arg, param = r.returns ? k - 1 : k;
        for (const CallbackHook& h : *e.hooks)
            if (h.arg == param) cb.hook = &h;
        if (!cb.hook) return fail(e, r.args[k].name + " is not a routine argument");
        Decl fd{r.args[k].name, cb.hook->codes, split_items(formsrc[k]), nullptr,
                !complexsrc[k].empty()};
        cb.form = std::make_unique<Routine>();
        if (!compile_decl(fd, module, *cb.form)) return false;
        cb.returned = cb.form->results;
        if (cb.partial && cb.returned.empty())
            return fail(e, r.args[k].name + " is partial but its form gives nothing back");
        if (!complexsrc[k].empty() && !parse(complexsrc[k], cb.complex_if, nullptr)) return false;
        cb.trampoline = "cb_" + r.args[k].name + "_in_" + r.name + "__user__routines";
        cb.doc = form_doc(*cb.form, cb.returned);
    }
    const int n = static_cast<int>(r.args.size());
    std::vector<std::set<int>> dimuse(n), dfltuse(n), checkuse(n), lenuse(n), absentuse(n);
    for (int k = 0; k < n; ++k) {
        Arg& a = r.args[k];
        if (!lensrc[k].empty() && !parse(lensrc[k], a.textexpr, &lenuse[k])) return false;
        if (!dimsrc[k].empty()) {
            for (auto& d : split_top(dimsrc[k])) {
                a.dimtext.push_back(d);
                a.dims.emplace_back();
                if (d != "*" && d != ":" && !parse(d, a.dims.back(), &dimuse[k])) return false;
            }
            a.rank = static_cast<int>(a.dims.size());
            if (a.rank > max_rank) return fail(e, "rank of " + a.name + " above the limit");
        }
        if (a.type == 's' && a.rank > 0) return fail(e, "text arrays are not supported");
        if (a.type == 'c' && (a.rank == 0 || !dfltsrc[k].empty()))
            return fail(e, "single characters are arrays without a default: " + a.name);
        if (a.inout && a.rank == 0 && a.type == 's') return fail(e, "in/out text");
        if (!checksrc[k].empty()) {
            if (!parse(checksrc[k], a.check, &checkuse[k])) return false;
            a.checktext = checksrc[k];
        }
        if (!absentsrc[k].empty()) {
            if (!a.optional || a.returned || a.rank > 0 || a.type == 's' || is_form)
                return fail(e, "absent(...) is for an optional scalar input: " + a.name);
            if (!parse(absentsrc[k], a.absent, &absentuse[k])) return false;
        }
        if (!dfltsrc[k].empty()) {
            a.dflttext = dfltsrc[k];
            if (a.type == 'd' || a.type == 'D' || a.rank > 0) {
                std::string list = dfltsrc[k];
                if (list.front() == '(') list = list.substr(1, list.size() - 2);
                for (auto& v : split_top(list)) {
                    char* end;
                    a.dfltlist.push_back(std::strtod(v.c_str(), &end));
                    if (*end) return fail(e, "default '" + dfltsrc[k] + "' of " + a.name);
                }
                if (a.rank == 0 && !(a.dfltlist.size() == 1 ||
                                     (a.type == 'D' && a.dfltlist.size() == 2)))
                    return fail(e, "default '" + dfltsrc[k] + "' of " + a.name);
            } else if (!parse(dfltsrc[k], a.dflt, &dfltuse[k])) {
                return false;
            }
        }
    }
    // Optional extents without a default take the extent of the first array declared with
    // exactly that name as an extent, and are checked against it.
    for (int k = 0; k < n; ++k) {
        Arg& a = r.args[k];
        if (!(a.optional || a.hidden) || a.returned || a.rank > 0 || !a.dflttext.empty()) continue;
        if (a.type != 'i') return fail(e, "optional " + a.name + " needs a default");
        bool found = false;
        for (int j = 0; j < n && !found; ++j)
            for (size_t d = 0; d < r.args[j].dimtext.size() && !found; ++d)
                if (r.args[j].dimtext[d] == a.name && !r.args[j].hidden) {
                    std::string x = "shape(" + r.args[j].name + ", " + std::to_string(d) + ")";
                    if (!parse(x, a.dflt, &dfltuse[k])) return false;
                    a.dflttext = x;
                    if (a.checktext.empty()) {
                        if (!parse(x + " == " + a.name, a.check, &checkuse[k])) return false;
                        a.checktext = x + " == " + a.name;
                        a.autocheck = true;
                    }
                    found = true;
                }
        if (!found) return fail(e, "no array gives the default of " + a.name);
    }
    for (int k = 0; k < n; ++k) {
        Arg& a = r.args[k];
        if ((a.optional || a.hidden) && !a.returned && a.rank == 0 && a.dflttext.empty())
            return fail(e, a.name + " needs a default");
        if (a.hidden && !a.returned && a.dflt.empty() && a.dfltlist.empty())
            return fail(e, "hidden input " + a.name + " needs a default");
    }

    // Free extents: open, or given by an argument whose default is taken from this array, or
    // every non-constant extent of an array that carries its own check.
    std::vector<std::set<int>> deps(n);
    std::vector<std::pair<std::pair<int, int>, std::set<int>>> latechecks;  // ((arg, dim), uses)
    for (int k = 0; k < n; ++k) {
        Arg& a = r.args[k];
        a.extents.assign(a.rank, {Extent::evaluated, 0});
        for (int d = 0; d < a.rank; ++d) {
            std::set<int> u;
            if (!a.dims[d].empty()) {
                Expr tmp;
                if (!parse(a.dimtext[d], tmp, &u)) return false;
            }
            const bool own_check = !a.checktext.empty() && !u.empty() && !a.hidden;
            bool free = a.dims[d].empty() || own_check;
            for (int j : u)
                if (dfltuse[j].count(k) && !a.hidden) free = true;
            // A free extent is compared later (after the array's own check, whose message
            // comes first), unless it is open or an extent argument taken from this very
            // dimension (hidden, or checked against it when given).
            if (free && !a.dims[d].empty()) {
                const auto& st = a.dims[d].steps;
                bool evident = false;
                if (st.size() == 1 && st[0].op == Expr::arg) {
                    const Arg& j = r.args[st[0].value];
                    evident = (j.autocheck || (j.hidden && !j.returned)) &&
                              j.dflt.steps.size() == 1 &&
                              j.dflt.steps[0].op == Expr::shape && j.dflt.steps[0].value == k &&
                              j.dflt.steps[0].dim == d;
                }
                if (!evident) latechecks.push_back({{k, d}, u});
            }
            const auto& x = a.dims[d].steps;
            if (free)
                a.extents[d] = {Extent::fixed, free_extent};
            else if (x.size() == 1 && x[0].op == Expr::num)
                a.extents[d] = {Extent::fixed, x[0].value};
            else if (x.size() == 1 && x[0].op == Expr::arg && r.args[x[0].value].type == 'i' &&
                     r.args[x[0].value].rank == 0)
                a.extents[d] = {Extent::argument, x[0].value};
            if (!free) deps[k].insert(u.begin(), u.end());
        }
        if (std::all_of(a.extents.begin(), a.extents.end(),
                        [](const Extent& x) { return x.how == Extent::fixed; }))
            for (const Extent& x : a.extents) a.fixed.push_back(x.value);
        deps[k].insert(dfltuse[k].begin(), dfltuse[k].end());
        deps[k].insert(lenuse[k].begin(), lenuse[k].end());
        deps[k].insert(absentuse[k].begin(), absentuse[k].end());
        deps[k].erase(k);
    }
    // Conversion order: dependencies first, otherwise the library's order.
    std::vector<bool> placed(n, false);
    for (int round = 0; round < n; ++round) {
        int pick = -1;
        for (int k = 0; k < n && pick < 0; ++k) {
            if (placed[k]) continue;
            bool ready = true;
            for (int j : deps[k]) ready &= placed[j];
            if (ready) pick = k;
        }
        if (pick < 0) return fail(e, "the extents and defaults depend on each other in a circle");
        placed[pick] = true;
        r.order.push_back(pick);
    }

    // Call form: required arguments, optional ones, overwrite flags.
    int nreq = 0, nopt = 0;
    for (int k = 0; k < n; ++k)
        if (r.args[k].required) r.callform.push_back(k), r.args[k].ordinal = ++nreq;
    r.nrequired = nreq;
    for (int k = 0; k < n; ++k)
        if (r.args[k].optional) r.callform.push_back(k), r.args[k].ordinal = ++nopt;
    for (size_t j = 0; j < r.callbacks.size(); ++j)
        r.callform.push_back(extra_code(static_cast<int>(j)));
    for (int k = 0; k < n && !is_form; ++k) {
        Arg& a = r.args[k];
        a.overwrite = !a.hidden && a.returned && a.rank > 0;
        if (a.overwrite) r.callform.push_back(overwrite_code(k));
    }
    if (r.callform.size() > static_cast<size_t>(max_args)) return fail(e, "too many arguments");
    auto keyword = [&](int c) {
        return c >= 0        ? r.args[c].name
               : is_extra(c) ? r.args[r.callbacks[extra_callback(c)].arg].name + "_extra_args"
                             : "overwrite_" + r.args[overwrite_arg(c)].name;
    };
    for (size_t p = 0; p < r.callform.size(); ++p) {
        int c = r.callform[p];
        if (c >= 0) r.args[c].kwpos = static_cast<int>(p);
        r.kwnames.push_back(PyUnicode_InternFromString(keyword(c).c_str()));
    }
    for (int k = 0; k < n; ++k) {
        if (r.args[k].returned) r.results.push_back(k);
        if (r.args[k].inout && r.args[k].rank == 0) r.writeback = true;
    }

    // Docstring.
    std::string form;
    for (size_t p = 0; p < r.results.size(); ++p) form += (p ? "," : "") + r.args[r.results[p]].name;
    if (!form.empty()) form += " = ";
    form += r.name + "(";
    for (size_t p = 0; p < r.callform.size(); ++p) {
        if (p) form += ",";
        if (static_cast<int>(p) == nreq) form += "[";
        form += keyword(r.callform[p]);
    }
    if (static_cast<int>(r.callform.size()) > nreq) form += "]";
    form += ")";
    std::string doc = form + "\n\nWrapper for ``" + r.name + "``.\n";
    std::string req, opt, ret;
    for (int c : r.callform) {
        if (is_extra(c)) {
            opt += keyword(c) + " : input tuple, optional\n    Default: ()\n";
            continue;
        }
        if (c < 0) {
            opt += keyword(c) + " : input int, optional\n    Default: 0\n";
            continue;
        }
        const Arg& a = r.args[c];
        if (a.required) req += describe_in(a) + "\n";
        else
            opt += describe_in(a) + ", optional\n    Default: " + a.dflttext +
                   (a.absent.empty() ? "" : ", absent where " + a.absent.text) + "\n";
    }
    for (int k : r.results) ret += describe_out(r.args[k]) + "\n";
    if (!req.empty()) doc += "\nParameters\n----------\n" + req;
    if (!opt.empty()) doc += "\nOther Parameters\n----------------\n" + opt;
    if (!ret.empty()) doc += "\nReturns\n-------\n" + ret;
    if (e.note || !r.callbacks.empty()) doc += "\nNotes\n-----\n";
    if (e.note) doc += std::string(e.note) + "\n";
    if (!r.callbacks.empty()) {
        doc += std::string(e.note ? "\n" : "") + "Call-back functions::\n\n";
        for (const Callback& cb : r.callbacks) doc += cb.doc;
    }
    r.doc = doc;
    for (auto& a : r.args) a.pyname = PyUnicode_InternFromString(a.name.c_str());

    // When each check can run: after the last argument it names.
    for (int k = 0; k < n; ++k) {
        if (r.args[k].check.empty()) continue;
        size_t at = 0;
        checkuse[k].insert(k);
        for (size_t p = 0; p < r.order.size(); ++p)
            if (checkuse[k].count(r.order[p])) at = p;
        r.checks.push_back({at, k});
    }
    std::sort(r.checks.begin(), r.checks.end());
    for (auto& [kd, u] : latechecks) {
        u.insert(kd.first);
        size_t at = 0;
        for (size_t p = 0; p < r.order.size(); ++p)
            if (u.count(r.order[p])) at = p;
        for (auto& [cat, c] : r.checks)
            if (c == kd.first) at = std::max(at, cat);
        r.dimchecks.push_back({at, kd.first, kd.second});
    }
    std::stable_sort(r.dimchecks.begin(), r.dimchecks.end(),
                     [](const auto& x, const auto& y) { return x.at < y.at; });

    // The steps of a call: the conversion of each argument, then the checks that follow it.
    unsigned nchecks = 0, ndimchecks = 0;
    for (size_t p = 0; p < r.order.size(); ++p) {
        const int k = r.order[p];
        const Arg& a = r.args[k];
        Step s{};
        const auto& dflt = a.dflt.steps;
        s.kind = a.callback                               ? Step::routine
                 : a.rank > 0                             ? Step::array
                 : a.hidden && a.returned && a.type != 's' ? Step::hidden_out
                 : a.type == 'i' && !a.inout && !a.returned && a.absent.empty() &&
                         dflt.size() == 1 && dflt[0].op == Expr::shape
                     ? Step::extent
                     : Step::scalar;
        if (s.kind == Step::extent) s.src = static_cast<int>(dflt[0].value), s.dim = dflt[0].dim;
        s.type = a.type;
        s.absent = !a.absent.empty();
        s.arg = k;
        s.typenum = numpy_type(a.type);
        if (a.rank > 0 && !a.callback && !(s.descr = element_descr(a.type))) return false;
        while (nchecks < r.checks.size() && r.checks[nchecks].first == p) ++nchecks;
        while (ndimchecks < r.dimchecks.size() && r.dimchecks[ndimchecks].at == p) ++ndimchecks;
        const unsigned first = r.plan.empty() ? 0 : r.plan.back().checks_end;
        const unsigned dimfirst = r.plan.empty() ? 0 : r.plan.back().dimchecks_end;
        s.checks = nchecks != first || ndimchecks != dimfirst;
        s.own_check_only = s.kind == Step::extent && ndimchecks == dimfirst &&
                           nchecks == first + 1 && r.checks[first].second == k && a.autocheck;
        s.checks_end = nchecks;
        s.dimchecks_end = ndimchecks;
        r.plan.push_back(s);
        if (a.rank > 0) r.arrays.push_back(k);
    }
    return true;
}

}  // namespace

}  // namespace vorlen::py
