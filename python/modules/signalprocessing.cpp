// Python signatures of module signalprocessing: clamps, moving averages, peaks and curves.
#include "bind.hpp"
#include "core/signalprocessing.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::signalprocessing;

const Fragment signalprocessing("signalprocessing", 10, {
    routine<fLimit>("real_limit", {"out d real_limit", "in d x", "in d xlow", "in d xup"}),
    routine<iLimit>("int_limit", {"out i int_limit", "in i x", "in i xlow", "in i xup"}),
    routine<mLimit>("mod_limit", {"out i mod_limit", "in i x", "in i xmod"}),
    routine<LogarithmicBarrier>("logarithmicbarrier",
                                {"out d logarithmicbarrier", "in d x", "in d b"}),
    routine<GeneralSigmoidal>("generalsigmoidal", {"out d generalsigmoidal", "in d x", "in d k"}),
    routine<signalprocessing_logistic>("logistic", {"out d y", "in d x", "in d k", "in d x0",
        "opt d l = 1.0"}),
    routine<signalprocessing_generallogistic>("generallogistic", {"out d y", "in d x", "in d a",
        "in d k", "in d b", "in d q", "in d v", "opt d c = 1.0"}),
    routine<GeneralSmoothStep>("generalsmoothstep", {"out d generalsmoothstep", "in d x",
        "in i n"}),
    routine<GeneralizedMean>("generalizedmean", {"out d generalizedmean", "in d x(n)", "in d p",
        "opt i n", "opt d wi(n)"}),
    routine<CumulativeMovingAverage>("cumulativemovingaverage", {"in,out d cma", "in d x",
        "in i n"}),
    routine<WeightedMovingAverage>("weightedmovingaverage", {"out d sma", "in d rval",
        "in,out d a(wb)", "in,out i denom", "opt i wb", "opt d wi(wb)"}),
    routine<GetPeaks>("getpeaks", {"out d maxtab(n,2)", "out d mintab(n,2)", "out i nmaxpeaks",
        "out i nminpeaks", "in d v(n)", "in d delta", "opt i n", "opt d x(n) = 0"}),
});
}  // namespace
