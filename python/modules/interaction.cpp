// Python signatures of module interaction: impactor contact laws and the nearest-element record.
#include "bind.hpp"
#include "materials/interaction.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::interaction;

const Fragment interaction("interaction", 10, {
    routine<ContactLaw>("contactlaw", {"out d fx", "out d dfx", "in d xold",
        "in d args(numargs)", "opt i numargs", "in i clflag"},
        "Ends the process when clflag is 1 and the forces of the stiffness table (args(8) on)\n"
        "do not increase strictly: the monotone cubic Hermite package prints its error report\n"
        "on standard output and exits with status 1."),
    routine<ContactStiffness>("contactstiffness", {"out d k", "out d eeff",
        "in d args(numargs)", "opt i numargs", "in i csflag"}),
    routine<ContactRadius>("contactradius", {"out d radius", "in d args(numargs)",
        "opt i numargs", "in i cdflag"}),
    routine<ContactDepth>("contactdepth", {"out d indentation", "in d args(numargs)",
        "opt i numargs", "in i cdflag"}),
    routine<GetHugonoitElasticLimit>("gethugonoitelasticlimit", {
        "out d gethugonoitelasticlimit", "in d yc", "in d nu"}),
    routine<ContactArea>("contactarea", {"in,out d dprops(12,nimp)", "in d coord(3)",
        "in i noel", "opt i nimp", "opt d elemlength(3) = (-1, -1, -1)"}),
});
}  // namespace
