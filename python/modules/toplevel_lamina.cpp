// Signatures of module toplevel: elastic and fibre ply material routines (UMAT, VUMAT, USERMAT,
// Peridigm, HYPELA2).
#include "bind.hpp"
#include "modules/toplevel_usermat.hpp"
#include "solver/toplevel_lamina.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

// The UMAT list; JSTEP follows unless the routine has none.
#define TOPLEVEL_LAMINA_UMAT_HEAD                                                              \
    "in,out d stress(ntens)", "in,out d statev(nstatv)", "in,out d ddsdde(ntens,ntens)",       \
        "in,out d sse", "in,out d spd", "in,out d scd", "inout d rpl", "inout d ddsddt(ntens)", \
        "inout d drplde(ntens)", "inout d drpldt", "in d stran(ntens)", "in d dstran(ntens)",  \
        "in d time(2)", "in d dtime", "in d temp", "in d dtemp", "in d predef(1)",             \
        "in d dpred(1)", "in s80 materl", "in i ndi", "in i nshr", "opt i ntens",              \
        "opt i nstatv", "in d props(nprops)", "opt i nprops", "in d coords(3)",                \
        "in d drot(3,3)", "in,out d pnewdt", "in d celent", "in d dfgrd0(3,3)",                \
        "in d dfgrd1(3,3)", "in i noel", "in i npt", "in i kslay", "in i kspt"
#define TOPLEVEL_LAMINA_UMAT TOPLEVEL_LAMINA_UMAT_HEAD, "in i jstep(4)", "in i kinc"
const Fragment toplevel_lamina("toplevel", 20, {
    routine<toplevel_umat_lamina>("umat_lamina", {TOPLEVEL_LAMINA_UMAT}),
    routine<toplevel_umat_hyper>("umat_hyper", {TOPLEVEL_LAMINA_UMAT}),
    routine<toplevel_umat_porosity>("umat_porosity", {TOPLEVEL_LAMINA_UMAT_HEAD, "in i kinc"}),
    routine<toplevel_umat_fiber>("umat_fiber", {TOPLEVEL_LAMINA_UMAT}),
    routine<toplevel_vumat_lamina>("vumat_lamina", {"opt i nblock", "in i ndir", "in i nshr",
        "opt i nstatev", "opt i nfieldv", "opt i nprops", "in i lanneal", "in d steptime",
        "in d totaltime", "in d dt", "in s80 cmname", "in d coordmp(nblock,*)",
        "in d charlength(nblock)", "in d props(nprops)", "in d density(nblock)",
        "inout d straininc(nblock,ndir+nshr)", "in d relspininc(nblock,*)",
        "in d tempold(nblock)", "in d stretchold(nblock,*)", "in d defgradold(nblock,*)",
        "in d fieldold(nblock,nfieldv)", "in d stressold(nblock,ndir+nshr)",
        "in d stateold(nblock,nstatev)", "in d enerinternold(nblock)",
        "in d enerinelasold(nblock)", "in d tempnew(nblock)", "in d stretchnew(nblock,*)",
        "in d defgradnew(nblock,*)", "in d fieldnew(nblock,nfieldv)",
        "out d stressnew(nblock,ndir+nshr)", "out d statenew(nblock,nstatev)",
        "out d enerinternnew(nblock)", "out d enerinelasnew(nblock)"}),
    routine<toplevel_usermat_fiber>("usermat_fiber", usermat_items("in,out d epszz")),
    routine<toplevel_usermat_lamina>("usermat_lamina", usermat_items("in,out d epszz")),
    routine<toplevel_upermat_lamina>("upermat_lamina", {"out d stressnew(npoint,ndir+nshr)",
        "out d statenew(npoint,nstatev)", "in d stressold(npoint,ndir+nshr)",
        "in d stateold(npoint,nstatev)", "in d straininc(npoint,ndir+nshr)",
        "in d props(nprops)", "in d steptime", "in d totaltime", "in d dt", "in i matid",
        "opt i npoint", "in i ndir", "in i nshr", "opt i nstatev", "opt i nprops"}),
    routine<toplevel_hypela_lamina>("hypela_lamina", {"out d d(ngens,ngens)", "out d g(ngens)",
        "in d e(ngens)", "in d de(ngens)", "in,out d s(ngens)", "in d t(*)", "in d dt(*)",
        "opt i ngens", "in i n(2)", "in i nn", "in i kcus(2)", "in i matus(2)", "in i ndi",
        "in i nshear", "in d disp(*)", "in d dispt(*)", "in d coord(*)", "in d ffn(3,3)",
        "in d frotn(3,3)", "in d strechn(3)", "in d eigvn(3,3)", "in d ffn1(3,3)",
        "in d frotn1(3,3)", "in d strechn1(3)", "in d eigvn1(3,3)", "in i ncrd", "in i itel",
        "in i ndeg", "in i ndm", "in i nnode", "in i jtype", "in i lclass(2)", "in i ifr",
        "in i ifu", "in i nstats", "in i isunit", "in i idata(len_idata)",
        "in d rdata(len_rdata)", "in c cdata(len_cdata)", "opt i len_idata",
        "opt i len_rdata", "opt i len_cdata", "out i error_code"}),
});

#undef TOPLEVEL_LAMINA_UMAT_HEAD
#undef TOPLEVEL_LAMINA_UMAT

}  // namespace
