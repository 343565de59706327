// Routines of the first-error register and of the data store's allocation and release.
#include "bind.hpp"
#include "core/datahandling.hpp"
#include "base/errorhandling.hpp"

namespace {
using namespace vorlen::py;

const Fragment errorhandling("errorhandling", 10, {
    routine<errorhandling_rsxerr>("rsxerr", {"out i reset", "in b lop"}),
    routine<errorhandling_xerr>("xerr", {"in i lop", "in s80 xerrmsg", "in i intv(nintv)",
                                         "in d realv(nrealv)", "in i asciim(nrow,ncol)",
                                         "opt,out i pyerr = 0", "hide i nintv = shape(intv, 0)",
                                         "hide i nrealv = shape(realv, 0)",
                                         "hide i nrow = shape(asciim, 0)",
                                         "hide i ncol = shape(asciim, 1)"},
                                        "Ends the process when pyerr is 0 (its default): xerrmsg is\n"
                                        "printed on standard output and the exit status is 1."),
});

const Fragment datahandling("datahandling", 10, {
    routine<datahandling_allocateelementdata>("allocateelementdata",
                                              {"out i istat", "in i knodes", "in i kelem"}),
    routine<datahandling_allocatenodaldata>("allocatenodaldata",
                                            {"out i istat", "in i kdof", "in i knodes", "in i kelem"}),
    routine<datahandling_allocatedamagedata>("allocatedamagedata",
                                             {"out i istat", "in i kplies", "in i ksec", "in i kdmg"}),
    routine<datahandling_deallocall>("deallocall", {"out i istat"}),
});
}  // namespace
