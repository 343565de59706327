// Signatures of module laminate: classical lamination theory.
#include "bind.hpp"
#include "materials/laminate.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::laminate;

const Fragment laminate_routines("laminate", 10, {
    routine<GetPlyZCoord>("getplyzcoord", {"out d getplyzcoord", "in d plythickness(nplies)",
        "in i iply", "opt i nplies", "in i zpos", "opt d refoffset = 0.0"}),
    routine<GetSectionZCoord>("getsectionzcoord", {"out d plyzcoord(2*nplies+1,nsec)",
        "in i sectionlist(nplies,nsec)", "in d plythickness(nplies,nsec)", "opt i nplies",
        "opt i nsec", "opt i defint = 2147483647"}),
    routine<GetAMatrix>("getamatrix", {"out d a(3,3)", "in d plyelastic(9,nplies)",
        "in d plyorientation(nplies)", "in d plythickness(nplies)", "opt i nplies"}),
    routine<GetBMatrix>("getbmatrix", {"out d b(3,3)", "in d plyelastic(9,nplies)",
        "in d plyorientation(nplies)", "in d plythickness(nplies)", "opt i nplies"}),
    routine<GetDMatrix>("getdmatrix", {"out d d(3,3)", "in d plyelastic(9,nplies)",
        "in d plyorientation(nplies)", "in d plythickness(nplies)", "opt i nplies"}),
    routine<GetABDMatrix>("getabdmatrix", {"out d abd(6,6)", "in d a(3,3)", "in d b(3,3)",
        "in d d(3,3)"}),
    routine<GetReducedBendingStiffness>("getreducedbendingstiffness", {"out d dred(3,3)",
        "in d a(3,3)", "in d b(3,3)", "in d d(3,3)"}),
    routine<GetABDTilde>("getabdtilde", {"in d a(3,3)", "in d b(3,3)", "in d d(3,3)",
        "out d atstar(3,3)", "out d btstar(3,3)", "out d dtstar(3,3)"}),
    routine<GetEngConstsFromABDMatrix>("getengconstsfromabdmatrix", {"out d eng(8)",
        "in d abd(6,6)", "in d h", "opt b tcflag = 0"}),
    routine<GetVMatrix>("getvmatrix", {"out d v(4,3)", "in d plyorientation(nplies)",
        "in d plythickness(nplies)", "opt i nplies"}),
    routine<GetDecoupAngle>("getdecoupangle", {"out d getdecoupangle",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "opt i nplies"}),
    routine<GetdAngle>("getdangle", {"out d getdangle", "in d plyorientation(nplies)",
        "in i luflag", "in i iply", "opt i nplies"}),
    routine<GetSubLaminateStack>("getsublaminatestack", {"out i sublamstack(2)",
        "in d plythickness(nplies)", "in i intface", "opt i nplies"}),
    routine<GetSubLaminateXMatrix>("getsublaminatexmatrix", {"out d xsub(3,3)", "in s1 slflag",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "in i sublamstack(2)", "opt i nplies"}),
    routine<GetEffectivePlateStiffness>("geteffectiveplatestiffness", {
        "out d geteffectiveplatestiffness", "in d plyelastic(9,nplies)",
        "in d plyorientation(nplies)", "in d plythickness(nplies)", "opt i nplies"}),
    routine<GetPlyStrain>("getplystrain", {"out d plystrain(3,nzcrd)", "in d se(6)",
        "in d plyzcoord(nzcrd)", "opt i nzcrd"}),
    routine<GetSectionStrain>("getsectionstrain", {"out d plystrain(3,3*nplies)", "in d se(6)",
        "in d plyorientation(nplies)", "in d plythickness(nplies)", "opt i nplies",
        "opt d reference = 0.0"}),
    routine<GetChaiDelamFactors>("getchaidelamfactors", {"out d chaidfactors(3)",
        "in d qonl(3,3)", "in d qonu(3,3)", "in d dangl_d", "in d plythickl", "in d plythicku",
        "in d g23l", "in d g23u", "in d g13l", "in d g13u"}),
});
}  // namespace
