// The ANSYS USERMAT argument list of the USERMAT entries of module toplevel. epszz is the item
// of the out-of-plane strain: "in,out d epszz" where the call form takes it (usermat_fiber,
// usermat_lamina), "out d epszz" where it only returns it (the entries made of a UMAT routine).
#pragma once
#include <vector>

namespace vorlen::py {

inline std::vector<const char*> usermat_items(const char* epszz) {
    return {"in i matid", "in i elemid", "in i kdomintpt", "in i klayer", "in i ksectpt",
            "in i ldstep", "in i isubst", "out i keycut", "in i ndirect", "in i nshear",
            "opt i ncomp", "opt i nstatev", "opt i nprop", "in d time", "in d dtime", "in d temp",
            "in d dtemp", "inout d stress(ncomp)", "inout d ustatev(nstatev)",
            "out d dsdepl(ncomp,ncomp)", "inout d sedel", "inout d sedpl", "inout d epseq",
            "in d strain(ncomp)", "in d dstrain(ncomp)", "inout d epspl(ncomp)",
            "in d prop(nprop)", "in d coords(3)", "in d var0", "in d defgrad_t(3,3)",
            "in d defgrad(3,3)", "inout d tsstif(2)", epszz, "in d var1", "in d var2",
            "in d var3", "in d var4", "in d var5", "in d var6", "in d var7", "in d var8"};
}

}  // namespace vorlen::py
