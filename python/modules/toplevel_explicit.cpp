// Signatures of module toplevel: explicit progressive ply damage (VUMAT).
#include "bind.hpp"
#include "solver/toplevel_explicit.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_explicit("toplevel", 70, {
    routine<toplevel_vumat_cartesian>("vumat_cartesian", {"opt i nblock", "in i ndir",
        "in i nshr", "opt i nstatev", "opt i nfieldv", "opt i nprops", "in i lanneal",
        "in d steptime", "in d totaltime", "in d dt", "in s80 cmname", "in d coordmp(nblock,*)",
        "in d charlength(nblock,3)", "in d props(nprops)", "in d density(nblock)",
        "inout d straininc(nblock,ndir+nshr)", "in d relspininc(nblock,*)",
        "in d tempold(nblock)", "in d stretchold(nblock,*)", "in d defgradold(nblock,*)",
        "in d fieldold(nblock,nfieldv)", "in d stressold(nblock,ndir+nshr)",
        "in d stateold(nblock,nstatev)", "in d enerinternold(nblock)",
        "in d enerinelasold(nblock)", "in d tempnew(nblock)", "in d stretchnew(nblock,*)",
        "in d defgradnew(nblock,*)", "in d fieldnew(nblock,nfieldv)",
        "out d stressnew(nblock,ndir+nshr)", "out d statenew(nblock,nstatev)",
        "out d enerinternnew(nblock)", "out d enerinelasnew(nblock)"}),
});

}  // namespace
