"""A finite-element solver's side of the material-routine protocol, for tests and examples.

No solver is needed to run the library's solver entry points: this module calls them the way a
solver does. A `Job` gives an analysis its working folder (input deck and card files), points
jobdata.jobfilepath and jobdata.joboutdir at it and calls the lifecycle entry at the start, around
every increment and at the end. `umat_path` and `vumat_path` drive one integration point (or a
block of points) along a strain path, calling the material routine's C entry with its whole
argument list by reference, as a solver does, and collect stress, state and tangent per
increment.

With `build/python` and `tools` on PYTHONPATH (from the repository's root:
`PYTHONPATH=build/python:tools /usr/bin/python3`), this pulls a unidirectional ply along its
fibres to 1 % strain under uniaxial stress, in a job folder that it removes again, and prints
"sig11 1400.0 MPa, eps22 -0.003000" (E1 and -nu12 times the strain; the fibres hold):

    import tempfile

    import numpy as np

    from solverdriver import Job, umat_path

    # E1, E2, E3, nu12, nu13, nu23, G12, G13, G23, XT, XC (MPa), stiffness factor once broken
    props = [140000, 10000, 10000, 0.3, 0.3, 0.45, 5000, 5000, 3500, 2000, 1200, 0.01]
    strains = np.zeros((11, 6))
    strains[:, 0] = np.linspace(0.0, 0.01, 11)  # eps11 prescribed, 10 increments
    with tempfile.TemporaryDirectory() as folder, Job(folder) as job:
        r = umat_path("umat_fiber", props, strains, nstatv=12, control=[True] + [False] * 5,
                      job=job)
    print(f"sig11 {r.stress[-1, 0]:.1f} MPa, eps22 {r.strain[-1, 1]:.6f}")

Implicit increments: every iteration starts from the increment's start state (stress, state
variables, energies), as a solver's equilibrium iterations do; the state of the converged
iteration is carried into the next increment. Mixed control holds the stress components whose
strain is not prescribed at zero by Newton iterations on the routine's tangent.
"""
import ctypes as C
import os

import numpy as np

import _vorlen

# The library the extension module is linked with (already loaded: found by its name).
lib = C.CDLL("libvorlen.so")
_int = C.c_int32


def _i(v):
    return C.byref(_int(int(v)))


def _d(v):
    return C.byref(C.c_double(float(v)))


def _p(a):
    return a.ctypes.data_as(C.c_void_p)


def _text(s, n=80):
    b = s.encode()[:n]
    return C.create_string_buffer(b + b" " * (n - len(b)), n)


def _f(a, shape=None, dtype=np.float64):
    """A Fortran-ordered private copy."""
    a = np.array(a, dtype=dtype, order="F", copy=True)
    return a if shape is None else np.asfortranarray(a.reshape(shape, order="F"))


def _entry(name):
    fn = getattr(lib, name)
    fn.restype = None
    return fn


def lifecycle(lop, kstep=1, kinc=0, time=(0.0, 0.0), dtime=0.0, exflag=None):
    """UEXTERNALDB_IOControl(lop, lrestart 0, time, dtime, kstep, kinc[, exflag])."""
    t = _f(time)
    ex = _i(exflag) if exflag is not None else None
    _entry("UEXTERNALDB_IOControl")(_i(lop), _i(0), _p(t), _d(dtime), _i(kstep), _i(kinc), ex)


def relay(k, kstep=0, kinc=0, totaltime=0.0, steptime=0.0, dt=0.0, mpi_rank=None):
    """VUEXTERNALDB_IOControl(k, i_array, 4, r_array, 3[, mpi_rank]): the explicit solver's call."""
    ia = _f([0, 0, kstep, kinc], dtype=np.int32)
    ra = _f([totaltime, steptime, dt])
    rank = _i(mpi_rank) if mpi_rank is not None else None
    _entry("VUEXTERNALDB_IOControl")(_i(k), _p(ia), _i(4), _p(ra), _i(3), rank)


def step_deck(steps=("",)):
    """A small input deck: one "*Step" line per entry, the entry's keyword after its comma."""
    lines = ["*Heading", "** written by the solver-protocol driver"]
    for n, keyword in enumerate(steps, 1):
        extra = f", {keyword}" if keyword else ""
        lines += [f"*Step, name=Step-{n}{extra}", "*End Step"]
    return "\n".join(lines) + "\n"


class Job:
    """An analysis in a working folder: `deck` is the input deck's text (default: one step of
    `step_deck()`; False: no deck at all), `cards` maps card file names to their texts. Entering
    starts the analysis (lifecycle code 0, or relay k = 0 with explicit=True), leaving releases
    it (code 3, or k = 6). `begin` and `end` bracket one increment with the solver's calls."""

    def __init__(self, folder, deck=None, cards=None, explicit=False, datfile=None):
        self.folder = os.fspath(folder)
        self.deck = step_deck() if deck is None else deck
        self.cards = dict(cards or {})
        self.explicit = explicit
        self.datfile = datfile
        self.kstep = 1
        self.kinc = 0
        self.steptime = 0.0
        self.totaltime = 0.0

    def __enter__(self):
        os.makedirs(self.folder, exist_ok=True)
        path = os.path.join(self.folder, "job")
        if self.deck is not False:
            with open(path + ".inp", "w") as f:
                f.write(self.deck)
        if self.datfile is not None:
            with open(path + ".dat", "w") as f:
                f.write(self.datfile)
        for name, text in self.cards.items():
            with open(os.path.join(self.folder, name), "w") as f:
                f.write(text)
        _vorlen.jobdata.jobfilepath = path
        _vorlen.jobdata.joboutdir = self.folder
        if self.explicit:
            relay(0)
            relay(1, 1)
        else:
            lifecycle(0)
        return self

    def __exit__(self, *exc):
        if self.explicit:
            relay(5, self.kstep, self.kinc, self.totaltime, self.steptime)
            relay(6, self.kstep, self.kinc, self.totaltime, self.steptime)
        else:
            lifecycle(3, self.kstep, self.kinc, (self.steptime, self.totaltime))
        return False

    def step(self, kstep):
        """Start step kstep (the explicit solver's k = 1; the previous step's end, k = 5, first)."""
        if self.explicit:
            relay(5, self.kstep, self.kinc, self.totaltime, self.steptime)
        self.kstep, self.kinc, self.steptime = kstep, 0, 0.0
        if self.explicit:
            relay(1, kstep, 0, self.totaltime, 0.0)

    def begin(self, dtime):
        """The calls before an increment's material calls."""
        self.kinc += 1
        if self.explicit:
            relay(2, self.kstep, self.kinc, self.totaltime, self.steptime, dtime)
            relay(3, self.kstep, self.kinc, self.totaltime, self.steptime, dtime)
        else:
            lifecycle(1, self.kstep, self.kinc, (self.steptime, self.totaltime), dtime)

    def end(self, dtime):
        """The calls after an increment has converged."""
        self.steptime += dtime
        self.totaltime += dtime
        if self.explicit:
            relay(4, self.kstep, self.kinc, self.totaltime, self.steptime, dtime)
        else:
            lifecycle(2, self.kstep, self.kinc, (self.steptime, self.totaltime), dtime)


class Result:
    def __init__(self, **fields):
        self.__dict__.update(fields)


def umat_path(name, props, strains, *, nstatv, ntens=6, ndi=3, nshr=3, statev=None, stress=None,
              temps=None, dtime=1.0, control=None, job=None, kstep=1, noel=1, npt=1, kslay=1,
              kspt=1, cmname="", celent=1.0, coords=(0.0, 0.0, 0.0), jstep=None, tol=1e-9,
              maxiter=50):
    """Drives the UMAT-convention routine `toplevel_<name>` along a total-strain path.

    strains (n+1, ntens): total strains, Nye order, engineering shears; with `control` (a mask of
    the prescribed components) the others are found so that their stresses stay zero. temps
    (n+1): temperatures. jstep: None gives (kstep, 1, 0, 0); False calls the list without jstep.
    Returns stress, strain (the strains reached), statev, ddsdde, sse, spd, scd, pnewdt per
    state (index 0 the start), and iterations per increment."""
    fn = _entry("toplevel_" + name)
    strains = np.asarray(strains, dtype=float).reshape(-1, ntens)
    n = len(strains) - 1
    props = _f(np.atleast_1d(props))
    temps = np.zeros(n + 1) if temps is None else np.asarray(temps, dtype=float)
    mask = np.ones(ntens, bool) if control is None else np.asarray(control, bool)
    free = np.flatnonzero(~mask)
    out = Result(stress=np.zeros((n + 1, ntens)), strain=strains.copy(),
                 statev=np.zeros((n + 1, nstatv)), ddsdde=np.zeros((n + 1, ntens, ntens)),
                 sse=np.zeros(n + 1), spd=np.zeros(n + 1), scd=np.zeros(n + 1),
                 pnewdt=np.ones(n + 1), iterations=np.zeros(n + 1, int))
    if stress is not None:
        out.stress[0] = stress
    if statev is not None:
        out.statev[0] = statev
    name80 = _text(cmname)
    coords = _f(coords)
    eye = _f(np.eye(3))
    zeros = _f(np.zeros(max(ntens, 1)))
    guess = np.zeros(ntens)
    for i in range(n):
        if job is not None:
            job.begin(dtime)
        steptime = job.steptime if job is not None else i * dtime
        totaltime = job.totaltime if job is not None else i * dtime
        kinc = job.kinc if job is not None else i + 1
        time = _f([steptime, totaltime])
        js = _f([kstep, 1, 0, 0] if jstep is None else (jstep or [0]), dtype=np.int32)
        stran = _f(out.strain[i])
        dstran = strains[i + 1] - strains[i]
        dstran[free] = guess[free]
        for it in range(1, maxiter + 1):
            s = _f(out.stress[i])
            sv = _f(out.statev[i])
            dd = _f(np.zeros((ntens, ntens)))
            e = [C.c_double(out.sse[i]), C.c_double(out.spd[i]), C.c_double(out.scd[i])]
            rpl, drpldt, pnewdt = C.c_double(0), C.c_double(0), C.c_double(1)
            ddsddt, drplde = _f(zeros), _f(zeros)
            ds = _f(dstran)
            args = [_p(s), _p(sv), _p(dd), C.byref(e[0]), C.byref(e[1]), C.byref(e[2]),
                    C.byref(rpl), _p(ddsddt), _p(drplde), C.byref(drpldt), _p(stran), _p(ds),
                    _p(time), _d(dtime), _d(temps[i]), _d(temps[i + 1] - temps[i]),
                    _p(_f(zeros)), _p(_f(zeros)), name80, _i(ndi), _i(nshr), _i(ntens),
                    _i(nstatv), _p(props), _i(props.size), _p(coords), _p(eye),
                    C.byref(pnewdt), _d(celent), _p(eye), _p(eye), _i(noel), _i(npt),
                    _i(kslay), _i(kspt)]
            if jstep is not False:
                args.append(_p(js))
            args.append(_i(kinc))
            fn(*args)
            residual = s[free]
            if free.size == 0 or np.all(np.abs(residual) <= tol * max(1.0, np.abs(s).max())):
                break
            k = dd[np.ix_(free, free)]
            try:
                dstran[free] -= np.linalg.solve(k, residual)
            except np.linalg.LinAlgError:
                break
        guess = dstran.copy()
        out.strain[i + 1] = out.strain[i] + dstran
        out.stress[i + 1], out.statev[i + 1], out.ddsdde[i + 1] = s, sv, dd
        out.sse[i + 1], out.spd[i + 1], out.scd[i + 1] = (v.value for v in e)
        out.pnewdt[i + 1], out.iterations[i + 1] = pnewdt.value, it
        if job is not None:
            job.end(dtime)
    return out


def vumat_path(name, props, strains, *, nstatev, nblock=1, ndir=3, nshr=3, density=1.0,
               charlength=1.0, dt=1.0, temps=None, state=None, stress=None, job=None, cmname="",
               fieldv=0, extra=()):
    """Drives the VUMAT-convention routine `toplevel_<name>` over a block of points.

    strains: total strains (n+1, ntens) for every point, or (n+1, nblock, ntens), in the
    explicit order (11, 22, 33, 12, 23, 13) with tensor shears; the routine gets their
    increments. The first increment has total time 0. `extra`: arguments appended to the list
    (numpy arrays or integers), for routines that take more than the VUMAT list. charlength:
    one length, the lengths of directions 1, 2, 3, or (nblock, 3). Returns
    stress, state, enerintern, enerinelas per state (index 0 the start)."""
    fn = _entry("toplevel_" + name)
    ntens = ndir + nshr
    strains = np.asarray(strains, dtype=float)
    if strains.ndim == 2:
        strains = np.repeat(strains[:, None, :], nblock, axis=1)
    n = strains.shape[0] - 1
    props = _f(np.atleast_1d(props))
    temps = np.zeros(n + 1) if temps is None else np.asarray(temps, dtype=float)
    out = Result(stress=np.zeros((n + 1, nblock, ntens)), state=np.zeros((n + 1, nblock, nstatev)),
                 enerintern=np.zeros((n + 1, nblock)), enerinelas=np.zeros((n + 1, nblock)),
                 straininc=np.zeros((n + 1, nblock, ntens)))
    if stress is not None:
        out.stress[0] = stress
    if state is not None:
        out.state[0] = state
    name80 = _text(cmname)
    block = lambda v, m=None: _f(np.broadcast_to(v, (nblock,) if m is None else (nblock, m)))
    coordmp = block(0.0, 3)
    charl = block(charlength, 3)  # lengths in directions 1, 2, 3 per point
    dens = block(density)
    relspin = block(0.0, max(nshr, 1))
    stretch = block(np.r_[np.ones(ndir), np.zeros(nshr)], ntens)
    defgrad = block(np.r_[np.ones(ndir), np.zeros(2 * nshr)], ndir + 2 * nshr)
    field = block(0.0, max(fieldv, 1))
    args_extra = [_i(a) if isinstance(a, (int, np.integer)) else _p(a) for a in extra]
    for i in range(n):
        if job is not None:
            job.begin(dt)
        steptime = job.steptime if job is not None else i * dt
        totaltime = job.totaltime if job is not None else i * dt
        inc = _f(strains[i + 1] - strains[i])
        told, tnew = block(temps[i]), block(temps[i + 1])
        sold, stold = _f(out.stress[i]), _f(out.state[i])
        eold, iold = _f(out.enerintern[i]), _f(out.enerinelas[i])
        snew, stnew = _f(np.zeros((nblock, ntens))), _f(np.zeros((nblock, nstatev)))
        enew, inew = _f(np.zeros(nblock)), _f(np.zeros(nblock))
        fn(_i(nblock), _i(ndir), _i(nshr), _i(nstatev), _i(fieldv), _i(props.size), _i(0),
           _d(steptime), _d(totaltime), _d(dt), name80, _p(coordmp), _p(charl), _p(props),
           _p(dens), _p(inc), _p(relspin), _p(told), _p(stretch), _p(defgrad), _p(field),
           _p(sold), _p(stold), _p(eold), _p(iold), _p(tnew), _p(stretch), _p(defgrad),
           _p(field), _p(snew), _p(stnew), _p(enew), _p(inew), *args_extra)
        out.stress[i + 1], out.state[i + 1] = snew, stnew
        out.enerintern[i + 1], out.enerinelas[i + 1], out.straininc[i + 1] = enew, inew, inc
        if job is not None:
            job.end(dt)
    return out
