// The VUMAT argument list shared by the explicit ply damage routines of module toplevel
// (vumat_cartesian, vumat_bogenfeld): block extents, times, point data of the increment and the
// new stress, state and energies; charlength holds three lengths per point.
#pragma once
#include <vector>

namespace vorlen::py {

inline std::vector<const char*> explicit_vumat_items() {
    return {"opt i nblock", "in i ndir", "in i nshr", "opt i nstatev", "opt i nfieldv",
            "opt i nprops", "in i lanneal", "in d steptime", "in d totaltime", "in d dt",
            "in s80 cmname", "in d coordmp(nblock,*)", "in d charlength(nblock,3)",
            "in d props(nprops)", "in d density(nblock)", "inout d straininc(nblock,ndir+nshr)",
            "in d relspininc(nblock,*)", "in d tempold(nblock)", "in d stretchold(nblock,*)",
            "in d defgradold(nblock,*)", "in d fieldold(nblock,nfieldv)",
            "in d stressold(nblock,ndir+nshr)", "in d stateold(nblock,nstatev)",
            "in d enerinternold(nblock)", "in d enerinelasold(nblock)", "in d tempnew(nblock)",
            "in d stretchnew(nblock,*)", "in d defgradnew(nblock,*)",
            "in d fieldnew(nblock,nfieldv)", "out d stressnew(nblock,ndir+nshr)",
            "out d statenew(nblock,nstatev)", "out d enerinternnew(nblock)",
            "out d enerinelasnew(nblock)"};
}

}  // namespace vorlen::py
