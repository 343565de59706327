// Signatures of module laminate: shear shape matrices and partial stiffness integrals.
#include "bind.hpp"
#include "materials/laminate_shape.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::laminate;

const Fragment laminate_shape("laminate", 20, {
    routine<GetPartialAMatrix>("getpartialamatrix", {"out d aprt(3,3)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "in d zcrd", "in i iply", "opt i nplies"}),
    routine<GetPartialBMatrix>("getpartialbmatrix", {"out d bprt(3,3)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "in d zcrd", "in i iply", "opt i nplies"}),
    routine<GetSmallFMatrix>("getsmallfmatrix", {"out d smallf(2,2)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "in d zcrd", "in d fa(3,3)", "in d fb(3,3)", "in i iply", "opt i nplies"}),
    routine<GetSectionFMatrix>("getsectionfmatrix", {"out d plysmallf(2*nplies+1,4,nsec)",
        "in i sectionlist(nplies,nsec)", "in d plyorientation(nplies,nsec)",
        "in d plythickness(nplies,nsec)", "in d plyzcoord(2*nplies+1,nsec)",
        "in d plyelastic(9,nplies,nsec)", "opt i nplies", "opt i nsec",
        "opt i defint = 2147483647"}),
    routine<GetArbitraryLaminateIntegral>("getarbitrarylaminateintegral", {
        "out d xint(3,3,nzcrd)", "in d expo", "in d plyprops(nprops,nplies)",
        "in d plyorientation(nplies)", "in d plyzcoord(nzcrd)", "in i plysectionpoint(nplies)",
        "opt i nzcrd", "opt i nplies", "opt i nprops", "opt i thflag = 0"}),
    routine<laminate_getpartialabwithcurvature>("getpartialabwithcurvature", {
        "out d pij(3,pdim,nzcrd)", "in d p0(3,pdim,nzcrd)", "in d p1(3,pdim,nzcrd)",
        "in d p2(3,pdim,nzcrd)", "in d ki", "in d kj", "opt i pdim", "opt i nzcrd"}),
    routine<GetPartialCDwithCurvature>("getpartialcdwithcurvature", {
        "out d xij(3,ndim,nzcrd)", "in d pij(3,ndim,nzcrd)", "in d plyprops(nprops,nplies)",
        "in d plyorientation(nplies)", "in d plyzcoord(nzcrd)", "in i plysectionpoint(nplies)",
        "in d ki", "in d kj", "opt i ndim", "opt i nzcrd", "opt i nplies", "opt i nprops",
        "in i cdflag"}),
    routine<GetPartialFG>("getpartialfg", {"out d fg(3,3,nzcrd)", "in d p1(3,3,nzcrd)",
        "in d p2(3,3,nzcrd)", "in d tstar1(3,3)", "in d tstar2(3,3)", "opt i nzcrd",
        "in i fgflag"}),
    routine<GetArbitrarySectionFG>("getarbitrarysectionfg", {"out d fg(2*nplies+1,4,nsec)",
        "in i sectionlist(nplies,nsec)", "in d plyorientation(nplies,nsec)",
        "in d plythickness(nplies,nsec)", "in d plyzcoord(2*nplies+1,nsec)",
        "in d plyelastic(9,nplies,nsec)", "opt i nplies", "opt i nsec", "in i csflag",
        "in i fgflag", "opt d xycurv(2) = (0.0, 0.0)", "opt i defint = 2147483647"}),
    routine<GetArbitrarySmallF>("getarbitrarysmallf", {"out d afmat(2,2)", "in i iply",
        "in d zpos", "in d zcoord(2*nplies+1)", "in d smallfmatrix(2*nplies+1,4)",
        "opt i nplies = (shape(zcoord,0)-1)/2"}),
});
}  // namespace
