// Python signatures of module stringhandling: texts of their own length pass it on hidden.
#include "core/stringhandling.hpp"
#include "bind.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::stringhandling;

const Fragment stringhandling(
    "stringhandling", 10,
    {
        routine<stringhandling_split>("split", {"out s(n) a", "out s(n) b", "in s* s",
                                                "in s1 sdelim", "in i n", "hide i ls = size(s)"}),
        routine<stringhandling_extract>(
            "extract", {"out s(n) extract", "in s* s", "in s* startkey", "in s* stopkey", "in i n",
                        "hide i ls = size(s)", "hide i lstartkey = size(startkey)",
                        "hide i lstopkey = size(stopkey)"}),
        routine<stringhandling_lowercase>("lowercase", {"out s(n) lowercase", "in s* s", "in i n",
                                                        "hide i ls = size(s)"}),
        routine<stringhandling_uppercase>("uppercase", {"out s(n) uppercase", "in s* s", "in i n",
                                                        "hide i ls = size(s)"}),
        routine<stringhandling_match>("match", {"out b match", "in s* a", "in s* b",
                                                "hide i la = size(a)", "hide i lb = size(b)"}),
        routine<stringhandling_tally>("tally",
                                      {"out i tally", "in s* s", "in s* text", "opt i csflag = 1",
                                       "hide i ls = size(s)", "hide i ltext = size(text)"}),
        routine<stringhandling_occurs>("occurs", {"out b occurs", "in s* a", "in s* b",
                                                  "hide i la = size(a)", "hide i lb = size(b)"}),
        routine<stringhandling_countitems>("countitems", {"out i countitems", "in s* s0",
                                                          "hide i ls0 = size(s0)"}),
        routine<stringhandling_translate>("translate",
                                          {"in s* s0", "out s(n) sout", "in i codes(nc,2)",
                                           "in i n", "opt i nc", "hide i ls0 = size(s0)"}),
        routine<stringhandling_replacetext>(
            "replacetext",
            {"in s* s", "in s* text", "in s* rep", "out s(nout) sout", "in i nout",
             "hide i ls = size(s)", "hide i ltext = size(text)", "hide i lrep = size(rep)"}),
        routine<stringhandling_reduceblanks>("reduceblanks", {"in s* s", "out s(nout) sout",
                                                              "in i nout", "hide i ls = size(s)"}),
        routine<stringhandling_spack>("spack",
                                      {"in s* s", "in s* ex", "out s(ns) sout", "in i ns",
                                       "in i nx", "hide i ls = size(s)", "hide i lex = size(ex)"}),
        routine<stringhandling_int2aformat>("int2aformat",
                                            {"out s(sout) j2s", "in i jrray(n,m)", "in s8 aw",
                                             "in i jmax", "in i sout", "opt i n", "in i m"}),
        routine<stringhandling_clen>("clen", {"out i clen", "in s* s", "hide i ls = size(s)"}),
        routine<stringhandling_clen_trim>("clen_trim",
                                          {"out i clen_trim", "in s* s", "hide i ls = size(s)"}),
        routine<stringhandling_ctrim>("ctrim", {"out s(n) ctrim", "in s* s", "in i n",
                                                "hide i ls = size(s)"}),
        // ca holds the digits and the sign of integ exactly
        routine<stringhandling_int2str>(
            "int2str", {"in i integ", "out s(n) ca", "out i istat",
                        "hide i n = 1 + (integ < 0) + (abs(integ) > 9) + (abs(integ) > 99) + "
                        "(abs(integ) > 999) + (abs(integ) > 9999) + (abs(integ) > 99999) + "
                        "(abs(integ) > 999999) + (abs(integ) > 9999999) + "
                        "(abs(integ) > 99999999) + (abs(integ) > 999999999)"}),
        routine<stringhandling_str2int>("str2int", {"in s* ca", "out i integ", "out i istat",
                                                    "hide i lca = size(ca)"}),
        routine<stringhandling_str2ascii>("str2ascii", {"out i ia(n)", "in s* ca", "in i n",
                                                        "hide i lca = size(ca)"}),
        routine<stringhandling_copys2a>("copys2a", {"in s* s", "out c ca(n)", "in i n",
                                                    "hide i ls = size(s)"}),
        routine<stringhandling_copya2s>("copya2s", {"in c ca(nca)", "out s(n) s", "in i n",
                                                    "hide i nca = shape(ca, 0)"}),
        routine<stringhandling_inistringwithcharacter>(
            "inistringwithcharacter", {"out s(n) inistringwithcharacter", "in s1 ch", "in i n"}),
    });

}  // namespace
