// Python signatures of module delcollection: delamination onset criteria.
#include "bind.hpp"
#include "failure/delcollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::delcollection;

const Fragment delcollection("delcollection", 10, {
    routine<DelLee>("dellee", {"out d rdel", "in d s33", "in d s12", "in d s13", "in d xt33",
        "in d xc33", "in d ilss"}),
    routine<DelOchoaEngblom>("delochoaengblom", {"out d rdel", "in d s33", "in d s13",
        "in d s23", "in d xt33", "in d xc33", "in d ilss"}),
    routine<DelHashin>("delhashin", {"out d rdel", "in d s33", "in d s13", "in d s23",
        "in d xt22", "in d xc22", "in d ilss"}),
    routine<DelPuck>("delpuck", {"out d rdel", "in d s33", "in d s13", "in d s23", "in d xt22",
        "in d xc22", "in d ilss", "opt d gp(4) = (0.3, 0.2, 0.15, 0.15)"}),
    routine<DelChoiChang>("delchoichang", {"out d rdel", "in d s22l", "in d s13l", "in d s23u",
        "in d xt22l", "in d xc22l", "in d ilssl", "in d ilssu", "opt d da = 1.8"}),
    routine<DelChai>("delchai", {"out d rdel", "in d s22l", "in d s13l", "in d s23u",
        "in d xt22l", "in d xc22l", "in d x23u", "in d ilssl", "in d df1", "in d df2",
        "in d df3"}),
});
}  // namespace
