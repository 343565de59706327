// Signatures of module sublaminate: Ritz buckling of delaminated sub-laminates and the buckling
// records.
#include "bind.hpp"
#include "failure/sublaminate.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::sublaminate;

const Fragment sublaminate("sublaminate", 10, {
    routine<GetKGRectTang>("getkgrecttang", {"out d kg(6,6)", "in i kgtype"}),
    routine<GetKGRectangle>("getkgrectangle", {"out d kg(6,6)", "in i kgtype"}),
    routine<GetKGEllipse>("getkgellipse", {"out d kg(6,6)", "in i kgtype"}),
    routine<GetKKRectTang>("getkkrecttang", {"out d kk(6,6)", "in i kktype"}),
    routine<GetKKRectangle>("getkkrectangle", {"out d kk(6,6)", "in i kktype"}),
    routine<GetKKEllipse>("getkkellipse", {"out d kk(6,6)", "in i kktype"}),
    routine<GetSubKG>("getsubkg", {"out d subkg(6,6)", "in d nglob(3)", "in d abd(6,6)",
        "in d abdinv(6,6)", "in d a", "in d b", "in d dangle", "in i dshape"}),
    routine<GetSubKK>("getsubkk", {"out d subkk(6,6)", "in d dred(3,3)", "in d a", "in d b",
        "in i dshape"}),
    routine<GetSubLamBucklingStrain>("getsublambucklingstrain", {"out d eps", "out d nx",
        "out d eigvec(6)", "in d dsize(3)", "in d nglob(3)", "in d plyelastic(9,nplies)",
        "in d plyorientation(nplies)", "in d plythickness(nplies)", "in i dshape",
        "opt i nplies"}),
    routine<DelaminatedBucklingAnalysis>("delaminatedbucklinganalysis", {"out d epsbuck",
        "out d bukrealdatalist(12,nplies-1)", "out i bukintdatalist(4,nplies-1)",
        "in d comprstrength", "in d plyelastic(9,nplies)", "in d plyorientation(nplies)",
        "in d plythickness(nplies)", "in d plydelamination(3,nplies-1)",
        "in i plydshape(nplies-1)", "opt i nplies"}),
    routine<GetBukDataFromDDS>("getbukdatafromdds", {
        "out d bukrealdatalist(12,nplies-1,ndmg,nsec)",
        "out i bukintdatalist(4,nplies-1,ndmg,nsec)", "in d delamdds(3,nplies-1,ndmg)",
        "in i plydshape(nplies-1,ndmg)", "in d comprstrength(nsec)",
        "in d plyelastic(9,nplies,nsec)", "in d plyorientation(nplies,nsec)",
        "in d plythickness(nplies,nsec)", "in i sectionlist(nplies,nsec)", "opt i ndmg",
        "opt i nplies = shape(delamdds,1)+1", "opt i nsec", "opt i defint = 2147483647"}),
});
}  // namespace
