// Signatures of module elementhandling: shell kinematics and transverse-stress recovery.
#include "bind.hpp"
#include "elements/elementhandling_shell.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elementhandling;

const Fragment shell("elementhandling", 50, {
    routine<ShellJacobian>("shelljacobian", {"out d jac(2,2)", "out d nshape(inodes,6)",
        "in d ncoords(3,inodes)", "opt i inodes", "in d xi", "in d eta"}),
    routine<ShellJacobianInverse>("shelljacobianinverse", {"out d jacinv(2,2)",
                                                           "in d jac(2,2)"}),
    routine<ShellSecondDerivJacobian>("shellsecondderivjacobian", {"out d jac2(3,2)",
        "in d nshape(inodes,6)", "in d ncoords(3,inodes)", "opt i inodes", "in d xi",
        "in d eta"}),
    routine<ShellFirstDerivJacobian>("shellfirstderivjacobian", {"out d jac1(3,3)",
                                                                 "in d jac(2,2)"}),
    routine<ShellFirstDerivJacobianInverse>("shellfirstderivjacobianinverse", {
        "out d jac1inv(3,3)", "in d jac1(3,3)"}),
    routine<ShellBMatrix>("shellbmatrix", {"out d b(8,40)", "in d ncoords(3,inodes)",
        "opt i inodes", "in d xi", "in d eta"}),
    routine<ShellxDerivBMatrix>("shellxderivbmatrix", {"out d xderivb(2,40)",
        "in d ncoords(3,inodes)", "opt i inodes", "in d xi", "in d eta"}),
    routine<ShellyDerivBMatrix>("shellyderivbmatrix", {"out d yderivb(2,40)",
        "in d ncoords(3,inodes)", "opt i inodes", "in d xi", "in d eta"}),
    routine<ShellxDerivShearForces>("shellxderivshearforces", {"out d xderivr(2)",
        "in d u(40)", "in d hmat(2,2)", "in d ncoords(3,inodes)", "opt i inodes", "in d xi",
        "in d eta"}),
    routine<ShellyDerivShearForces>("shellyderivshearforces", {"out d yderivr(2)",
        "in d u(40)", "in d hmat(2,2)", "in d ncoords(3,inodes)", "opt i inodes", "in d xi",
        "in d eta"}),
    routine<GetCurvatures>("getcurvatures", {"out d delta", "out d kappa(2)",
        "in d nshape(inodes,6)", "in d lncoords(inodes,3)", "opt i inodes"}),
    routine<GetShellTransverseStresses>("getshelltransversestresses", {
        "in,out d tnormalstress(nzcoord,nelem)", "in,out d tshearstress(nintpoint,2,4,nelem)",
        "in d nodalcoords(3,nnodes,nelem)", "in d nodesmotion(ndof,nnodes,nelem)",
        "in d sestress(6,nintpoint,nsept,nelem)", "in d sehmatrix(2,2,nsec)",
        "in d sefmatrix(nzcoord,4,nsec)", "in d plyorientation(nplies,nsec)",
        "in d plythickness(nplies,nsec)", "in d plyzcoord(nzcoord,nsec)",
        "in d plyelastic(9,nplies,nsec)", "in i elemsectionpoints(nelem)",
        "in d elemcurvatures(2,nelem)", "in i elemkind(nelem)", "in i sectionlist(nplies,nsec)",
        "in i elemid", "in i gpid", "in i secid", "in i itnsflag", "in i itshrflag",
        "opt i nplies", "opt i nsec", "opt i nzcoord", "opt i nintpoint", "opt i ndof",
        "opt i nnodes", "opt i nelem", "opt i nsept"},
        "tshearstress holds the stresses (23, 13) of the section points, ply by ply, in rows "
        "1 .. elemsectionpoints(elemid) nplies; sestress may hold more than 4 point slots."),
});
}  // namespace
