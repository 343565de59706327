// Signatures of module toplevel: elastic and fibre ply material routines (UMAT, VUMAT, USERMAT,
// Peridigm, HYPELA2).
#include "bind.hpp"
#include "modules/toplevel_lists.hpp"
#include "solver/toplevel_lamina.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

// The UMAT call forms of this file pass DDSDDE in as well.
std::vector<const char*> lamina_umat(std::initializer_list<const char*> tail) {
    return umat_items("in,out d ddsdde(ntens,ntens)", "in,out d statev(nstatv)", "in s80 materl",
                      "opt i nstatv", tail);
}

const Fragment toplevel_lamina("toplevel", 20, {
    routine<toplevel_umat_lamina>("umat_lamina", lamina_umat({"in i jstep(4)", "in i kinc"})),
    routine<toplevel_umat_hyper>("umat_hyper", lamina_umat({"in i jstep(4)", "in i kinc"})),
    routine<toplevel_umat_porosity>("umat_porosity", lamina_umat({"in i kinc"})),
    routine<toplevel_umat_fiber>("umat_fiber", lamina_umat({"in i jstep(4)", "in i kinc"})),
    routine<toplevel_vumat_lamina>("vumat_lamina", vumat_items("in d charlength(nblock)",
            "inout d straininc(nblock,ndir+nshr)")),
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

}  // namespace
