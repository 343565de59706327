// The argument lists of the solver interfaces as the Python call forms of module toplevel take
// them. The items in which the routines' call forms differ are parameters: whether DDSDDE or
// epszz is passed in as well as returned, the names of the state vector and the material name,
// the extents of charlength and the direction of straininc; routine-specific arguments follow.
#pragma once
#include <initializer_list>
#include <vector>

namespace vorlen::py {

inline std::vector<const char*> with_tail(std::vector<const char*> items,
                                          std::initializer_list<const char*> tail) {
    items.insert(items.end(), tail.begin(), tail.end());
    return items;
}

// UMAT up to KSPT; JSTEP and KINC (or what the routine has instead) in tail.
inline std::vector<const char*> umat_items(const char* ddsdde, const char* statev,
                                           const char* materl, const char* nstatv,
                                           std::initializer_list<const char*> tail) {
    return with_tail({"in,out d stress(ntens)",
                      statev,
                      ddsdde,
                      "in,out d sse",
                      "in,out d spd",
                      "in,out d scd",
                      "inout d rpl",
                      "inout d ddsddt(ntens)",
                      "inout d drplde(ntens)",
                      "inout d drpldt",
                      "in d stran(ntens)",
                      "in d dstran(ntens)",
                      "in d time(2)",
                      "in d dtime",
                      "in d temp",
                      "in d dtemp",
                      "in d predef(1)",
                      "in d dpred(1)",
                      materl,
                      "in i ndi",
                      "in i nshr",
                      "opt i ntens",
                      nstatv,
                      "in d props(nprops)",
                      "opt i nprops",
                      "in d coords(3)",
                      "in d drot(3,3)",
                      "in,out d pnewdt",
                      "in d celent",
                      "in d dfgrd0(3,3)",
                      "in d dfgrd1(3,3)",
                      "in i noel",
                      "in i npt",
                      "in i kslay",
                      "in i kspt"},
                     tail);
}

// The common UMAT form: DDSDDE only returned, STATEV(NSTATV), material name MATERL.
inline std::vector<const char*> umat_items(std::initializer_list<const char*> tail) {
    return umat_items("out d ddsdde(ntens,ntens)", "in,out d statev(nstatv)", "in s80 materl",
                      "opt i nstatv", tail);
}

// VUMAT; routine-specific arguments in tail.
inline std::vector<const char*> vumat_items(const char* charlength, const char* straininc,
                                            std::initializer_list<const char*> tail = {}) {
    return with_tail({"opt i nblock",
                      "in i ndir",
                      "in i nshr",
                      "opt i nstatev",
                      "opt i nfieldv",
                      "opt i nprops",
                      "in i lanneal",
                      "in d steptime",
                      "in d totaltime",
                      "in d dt",
                      "in s80 cmname",
                      "in d coordmp(nblock,*)",
                      charlength,
                      "in d props(nprops)",
                      "in d density(nblock)",
                      straininc,
                      "in d relspininc(nblock,*)",
                      "in d tempold(nblock)",
                      "in d stretchold(nblock,*)",
                      "in d defgradold(nblock,*)",
                      "in d fieldold(nblock,nfieldv)",
                      "in d stressold(nblock,ndir+nshr)",
                      "in d stateold(nblock,nstatev)",
                      "in d enerinternold(nblock)",
                      "in d enerinelasold(nblock)",
                      "in d tempnew(nblock)",
                      "in d stretchnew(nblock,*)",
                      "in d defgradnew(nblock,*)",
                      "in d fieldnew(nblock,nfieldv)",
                      "out d stressnew(nblock,ndir+nshr)",
                      "out d statenew(nblock,nstatev)",
                      "out d enerinternnew(nblock)",
                      "out d enerinelasnew(nblock)"},
                     tail);
}

// ANSYS USERMAT; epszz is "in,out d epszz" where the call form takes it, else "out d epszz".
inline std::vector<const char*> usermat_items(const char* epszz) {
    return {"in i matid",
            "in i elemid",
            "in i kdomintpt",
            "in i klayer",
            "in i ksectpt",
            "in i ldstep",
            "in i isubst",
            "out i keycut",
            "in i ndirect",
            "in i nshear",
            "opt i ncomp",
            "opt i nstatev",
            "opt i nprop",
            "in d time",
            "in d dtime",
            "in d temp",
            "in d dtemp",
            "inout d stress(ncomp)",
            "inout d ustatev(nstatev)",
            "out d dsdepl(ncomp,ncomp)",
            "inout d sedel",
            "inout d sedpl",
            "inout d epseq",
            "in d strain(ncomp)",
            "in d dstrain(ncomp)",
            "inout d epspl(ncomp)",
            "in d prop(nprop)",
            "in d coords(3)",
            "in d var0",
            "in d defgrad_t(3,3)",
            "in d defgrad(3,3)",
            "inout d tsstif(2)",
            epszz,
            "in d var1",
            "in d var2",
            "in d var3",
            "in d var4",
            "in d var5",
            "in d var6",
            "in d var7",
            "in d var8"};
}

}  // namespace vorlen::py
