// Python signatures of module resin: property sets, calibration tables, equivalent strain and
// the endochronic law.
#include "bind.hpp"
#include "materials/resin.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::resin;

const Fragment resin("resin", 10, {
    routine<GetResinProperties>("getresinproperties", {"in d props(nprops)", "opt i nprops",
        "in d temp", "out d e", "out d nu", "out d num", "out d gamma", "out d degr", "out d xt",
        "out d xc", "out d np", "out d a_woehler", "out d exp_woehler", "in i noel"}),
    routine<GetResinPlasticProperties>("getresinplasticproperties", {"in d props(nprops)",
        "opt i nprops", "in d temp", "in d eqplaststrain", "out d et", "out d ec", "out d g",
        "out d nut", "out d nuc", "out d a0", "out d a1", "out d alpha", "out d degr",
        "out d xt", "out d xc", "out d np", "out d a_woehler", "out d exp_woehler"}),
    routine<GetResinOrthotropicProperties>("getresinorthotropicproperties", {
        "in d props(nprops)", "opt i nprops", "in d temp", "in d dt", "in d stran(6)",
        "in d endstran(6)", "out d e1", "out d e2", "out d e3", "out d nu12", "out d nu13",
        "out d nu23", "out d nu21", "out d nu31", "out d nu32", "out d g12", "out d g13",
        "out d g23", "out d xt", "out d xc", "out d np", "out d a_woehler", "out d exp_woehler",
        "out d degr", "in i noel", "in d d"}),
    routine<GetModulusFromTable>("getmodulusfromtable", {"in d eqstrain", "out d e",
        "in d temp"}),
    routine<GetFlowParameters>("getflowparameters", {"in d eqplaststrain", "out d a0",
        "out d a1", "in d temp"}),
    routine<GetExternalData>("getexternaldata", {"in d datafield(n1,n2,n3)", "in i ndata",
        "in d x0", "in d temp", "out d rvalue", "in s1 stype",
        "hide i n1 = shape(datafield, 0)", "hide i n2 = shape(datafield, 1)",
        "hide i n3 = shape(datafield, 2)"}),
    routine<EquivalentStrain>("equivalentstrain", {"in d strain(ntens)", "out d eqstrain",
        "in i ndi", "opt i ntens"}),
    routine<EndochroneViscoPlasticity>("endochroneviscoplasticity", {"in d stran(6)",
        "in d dstrain(6)", "in d props(nprops)", "in,out d stress(6)",
        "in,out d statev(nstatev)", "in d dtime", "opt i nprops", "opt i nstatev",
        "in b writesdv", "in b matstate"}),
});
}  // namespace
