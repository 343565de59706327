// Python signatures of module dic: failure load from a measured compression stress
// distribution, knock-down of a delaminated stack, factor of a central open hole.
#include "bind.hpp"
#include "failure/dic.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::dic;

const Fragment dic("dic", 10, {
    routine<GetComprFailurebyDIC>("getcomprfailurebydic", {"out d fresult(4)",
        "out d fcomprstressdistribution(nstress,2)", "in d avgcomprstress(nstress)",
        "in d coords(nstress)", "in d plythickness(nplies)", "in d alpha", "in d comprstrength",
        "in d load", "in d displacement", "in d length", "in d width", "opt i nplies",
        "opt i nstress"},
        "The points are sorted by their signed coordinate and used with absolute values.\n"
        "Input without a result records code -3 and gives zeros: a length or width of 0, a\n"
        "total ply thickness of 0, a weighted stress of 0 at the reference point, and a\n"
        "distribution that has neither exactly one peak nor two peaks of different heights\n"
        "(no peak, peaks of one height only, stresses of one magnitude, fewer than two\n"
        "points). Walks that reach both ends record the warning -1 and give their result."),
    routine<GetDmgInfluenceFactor>("getdmginfluencefactor", {"out d getdmginfluencefactor",
        "in d plythickness(nplies)", "in d bukrealdatalist(12,nplies-1)",
        "in i bukintdatalist(4,nplies-1)", "opt i nplies"}),
    routine<GetCentralOpenHoleFactor>("getcentralopenholefactor", {
        "out d getcentralopenholefactor", "in d plyelastic(9,nplies)",
        "in d plyorientation(nplies)", "in d plythickness(nplies)", "in d kt", "in d radius",
        "in d width", "opt i nplies"}),
});
}  // namespace
