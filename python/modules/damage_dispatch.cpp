// Signatures of module damage: failure-mode dispatch per ply.
#include "bind.hpp"
#include "failure/damage_dispatch.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::damage;

const Fragment damage_dispatch("damage", 50, {
    routine<damage_generalfailure>("generalfailure", {"out d fgp", "out d rgp",
        "in d plystress(6)", "in d psprops(10,nlayer,nsec)", "in d plyorientation", "in i layer",
        "opt i nlayer", "in i isec", "opt i nsec", "in i gpflag"}),
    routine<damage_fiberbreakage>("fiberbreakage", {"out d ffb", "out d rfb",
        "in d plystress(6)", "in d peprops(9,nlayer,nsec)", "in d psprops(10,nlayer,nsec)",
        "in d plyorientation", "in i layer", "opt i nlayer", "in i isec", "opt i nsec",
        "in i fbflag"}),
    routine<MatrixCracking>("matrixcracking", {"out d fmc", "out d rmc", "in d plystress(6)",
        "in d peprops(9,nlayer,nsec)", "in d psprops(10,nlayer,nsec)",
        "in d pdprops(nprops,nlayer,nsec)", "in d plyorientation", "in i layer", "opt i nlayer",
        "in i isec", "opt i nsec", "opt i nprops", "in i mcflag", "opt,out d outtheta = -1.0",
        "opt d defreal = 1.7976931348623157e308"}),
    routine<damage_delamination>("delamination", {"out d fdel", "out d rdel", "in d s33i",
        "in d lplystress(6)", "in d uplystress(6)", "in d peprops(9,nlayer,nsec)",
        "in d psprops(10,nlayer,nsec)", "in d plyorientation(nlayer,nsec)",
        "in d plythickness(nlayer,nsec)", "in i layer", "opt i nlayer", "in i isec",
        "opt i nsec", "in i delflag"}),
    routine<damage_corecrushing>("corecrushing", {"out d fcc", "out d rcc", "in d plystress(6)",
        "in d psprops(10,nlayer,nsec)", "in d plyorientation", "in i layer", "opt i nlayer",
        "in i isec", "opt i nsec", "in i ccflag"}),
});
}  // namespace
