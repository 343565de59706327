// Signatures of module laminate: through-thickness stress recovery.
#include "bind.hpp"
#include "materials/laminate_recovery.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::laminate;

const Fragment laminate_recovery("laminate", 40, {
    routine<GetExt2DShearStress>("getext2dshearstress", {"out d xytss(nplies*nspt,2)",
        "in d r(2)", "in d plyorientation(nplies)", "in d smallfmatrix(2*nplies+1,4)",
        "in i nspt", "opt i nplies"}),
    routine<GetNormalStressFromBottom>("getnormalstressfrombottom", {
        "out d s33(2*nplies+1)", "in d rdx(2)", "in d rdy(2)", "in d zcoord(2*nplies+1)",
        "in d smallfmatrix(2*nplies+1,4)", "opt i nplies = (shape(zcoord,0)-1)/2"}),
    routine<GetNormalStressFromTop>("getnormalstressfromtop", {"out d s33(2*nplies+1)",
        "in d rdx(2)", "in d rdy(2)", "in d s33bc", "in d zcoord(2*nplies+1)",
        "in d smallfmatrix(2*nplies+1,4)", "opt i nplies = (shape(zcoord,0)-1)/2"}),
    routine<GetIntegralOfMembraneNormalStress>("getintegralofmembranenormalstress", {
        "out d sint(nzcrd)", "in d sbt(2*nplies)", "in d plyzcoord(nzcrd)",
        "in i plysectionpoint(nplies)", "in d ki", "in d kj", "opt i nzcrd",
        "opt i nplies = shape(sbt,0)/2"}),
    routine<GetPlyBottomTopStress>("getplybottomtopstress", {"out d sbt(6,2*nplies)",
        "in d sestress(6,nzcrd)", "in i plysectionpoint(nplies)", "opt i nzcrd",
        "opt i nplies"}),
});
}  // namespace
