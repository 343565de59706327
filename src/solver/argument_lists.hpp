// The argument lists of the solver interfaces, with the solvers' own names, as the parameter
// lists of the entries that take them (each entry's header documents what it reads and writes).
#pragma once
#include "base/types.hpp"

// The UMAT argument list (Abaqus/Standard) with its solver names, as the parameters of a UMAT
// entry; the same without JSTEP (umat_porosity, umat_sensor); the arguments of it that a routine
// evaluating one point commonly leaves unread.
#define VORLEN_UMAT_PARAMETERS                                                                     \
    VORLEN_UMAT_HEAD_PARAMETERS, const ::vorlen::i32 *jstep, const ::vorlen::i32 *kinc
#define VORLEN_UMAT_NOSTEP_PARAMETERS VORLEN_UMAT_HEAD_PARAMETERS, const ::vorlen::i32 *kinc
#define VORLEN_UMAT_HEAD_PARAMETERS                                                                \
    double *stress, double *statev, double *ddsdde, double *sse, double *spd, double *scd,         \
        double *rpl, double *ddsddt, double *drplde, double *drpldt, const double *stran,          \
        const double *dstran, const double *time, const double *dtime, const double *temp,         \
        const double *dtemp, const double *predef, const double *dpred, const char *materl,        \
        const ::vorlen::i32 *ndi, const ::vorlen::i32 *nshr, const ::vorlen::i32 *ntens,           \
        const ::vorlen::i32 *nstatv, const double *props, const ::vorlen::i32 *nprops,             \
        const double *coords, const double *drot, double *pnewdt, const double *celent,            \
        const double *dfgrd0, const double *dfgrd1, const ::vorlen::i32 *noel,                     \
        const ::vorlen::i32 *npt, const ::vorlen::i32 *kslay, const ::vorlen::i32 *kspt
#define VORLEN_UMAT_UNUSED                                                                         \
    (void)rpl, (void)ddsddt, (void)drplde, (void)drpldt, (void)time, (void)dtime, (void)temp,      \
        (void)dtemp, (void)predef, (void)dpred, (void)materl, (void)coords, (void)drot,            \
        (void)pnewdt, (void)celent, (void)dfgrd0, (void)dfgrd1, (void)noel, (void)npt,             \
        (void)kslay, (void)kspt, (void)kinc

// The ANSYS USERMAT argument list: the parameters of every USERMAT entry (documented at
// wrapper_abq_umat_to_ansys_usermat in wrapper.hpp), and their names as the arguments passed on.
#define VORLEN_USERMAT_PARAMETERS                                                                  \
    const ::vorlen::i32 *matid, const ::vorlen::i32 *elemid, const ::vorlen::i32 *kdomintpt,       \
        const ::vorlen::i32 *klayer, const ::vorlen::i32 *ksectpt, const ::vorlen::i32 *ldstep,    \
        const ::vorlen::i32 *isubst, ::vorlen::i32 *keycut, const ::vorlen::i32 *ndirect,          \
        const ::vorlen::i32 *nshear, const ::vorlen::i32 *ncomp, const ::vorlen::i32 *nstatev,     \
        const ::vorlen::i32 *nprop, const double *time, const double *dtime, const double *temp,   \
        const double *dtemp, double *stress, double *ustatev, double *dsdepl, double *sedel,       \
        double *sedpl, double *epseq, const double *strain, const double *dstrain, double *epspl,  \
        const double *prop, const double *coords, const double *var0, const double *defgrad_t,     \
        const double *defgrad, double *tsstif, double *epszz, const double *var1,                  \
        const double *var2, const double *var3, const double *var4, const double *var5,            \
        const double *var6, const double *var7, const double *var8
#define VORLEN_USERMAT_ARGUMENTS                                                                   \
    matid, elemid, kdomintpt, klayer, ksectpt, ldstep, isubst, keycut, ndirect, nshear, ncomp,     \
        nstatev, nprop, time, dtime, temp, dtemp, stress, ustatev, dsdepl, sedel, sedpl, epseq,    \
        strain, dstrain, epspl, prop, coords, var0, defgrad_t, defgrad, tsstif, epszz, var1, var2, \
        var3, var4, var5, var6, var7, var8

// The Abaqus/Explicit VUMAT argument list.
#define VORLEN_VUMAT_PARAMETERS                                                                    \
    const ::vorlen::i32 *nblock, const ::vorlen::i32 *ndir, const ::vorlen::i32 *nshr,             \
        const ::vorlen::i32 *nstatev, const ::vorlen::i32 *nfieldv, const ::vorlen::i32 *nprops,   \
        const ::vorlen::i32 *lanneal, const double *steptime, const double *totaltime,             \
        const double *dt, const char *cmname, const double *coordmp, const double *charlength,     \
        const double *props, const double *density, double *straininc, const double *relspininc,   \
        const double *tempold, const double *stretchold, const double *defgradold,                 \
        const double *fieldold, const double *stressold, const double *stateold,                   \
        const double *enerinternold, const double *enerinelasold, const double *tempnew,           \
        const double *stretchnew, const double *defgradnew, const double *fieldnew,                \
        double *stressnew, double *statenew, double *enerinternnew, double *enerinelasnew

// The Abaqus/Standard UEL argument list.
#define VORLEN_UEL_PARAMETERS                                                                      \
    double *rhs, double *amatrx, double *svars, double *energy, const ::vorlen::i32 *ndofel,       \
        const ::vorlen::i32 *nrhs, const ::vorlen::i32 *nsvars, const double *props,               \
        const ::vorlen::i32 *nprops, const double *coords, const ::vorlen::i32 *mcrd,              \
        const ::vorlen::i32 *nnode, const double *u, const double *du, const double *v,            \
        const double *a, const ::vorlen::i32 *jtype, const double *time, const double *dtime,      \
        const ::vorlen::i32 *kstep, const ::vorlen::i32 *kinc, const ::vorlen::i32 *jelem,         \
        const double *params, const ::vorlen::i32 *ndload, const ::vorlen::i32 *jdltyp,            \
        const double *adlmag, const double *predef, const ::vorlen::i32 *npredf,                   \
        const ::vorlen::i32 *lflags, const ::vorlen::i32 *mlvarx, const double *ddlmag,            \
        const ::vorlen::i32 *mdload, double *pnewdt, const ::vorlen::i32 *jprops,                  \
        const ::vorlen::i32 *njprop, const double *period

// The Abaqus/Explicit VUEL argument list.
#define VORLEN_VUEL_PARAMETERS                                                                     \
    const ::vorlen::i32 *nblock, double *rhs, double *amass, double *dtimestable, double *svars,   \
        const ::vorlen::i32 *nsvars, double *energy, const ::vorlen::i32 *nnode,                   \
        const ::vorlen::i32 *ndofel, const double *props, const ::vorlen::i32 *nprops,             \
        const ::vorlen::i32 *jprops, const ::vorlen::i32 *njprops, const double *coords,           \
        const ::vorlen::i32 *ncrd, const double *u, const double *du, const double *v,             \
        const double *a, const ::vorlen::i32 *jtype, const ::vorlen::i32 *jelem,                   \
        const double *time, const double *period, const double *dtimecur, const double *dtimeprev, \
        const ::vorlen::i32 *kstep, const ::vorlen::i32 *kinc, const ::vorlen::i32 *lflags,        \
        const double *dmassscalefactor, const double *predef, const ::vorlen::i32 *npredef,        \
        const ::vorlen::i32 *jdltyp, const double *adlmag
