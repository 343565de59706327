"""One call of a VUMAT-convention entry through its C symbol, as a hostile solver may make it: the
extents exactly as given (not checked against the arrays) and the outputs filled with a mark."""
import numpy as np

from solverdriver import _d, _i, _p, _text, lib

MARK = -7.25


def vumat_once(name, props, de, sold, stold, *, ndir, nshr, nstatev=None, totaltime=1.0,
               density=1.0, lc=0.5, eold=5.0, einold=4.0):
    """de, sold (nblock, columns), stold (nblock, state columns); nstatev defaults to the state
    columns. Returns stressnew, statenew (shaped as sold, stold), enerinternnew, enerinelasnew."""
    de, sold, stold = (np.asfortranarray(a, dtype=float) for a in (de, sold, stold))
    nb = sold.shape[0]
    nstatev = stold.shape[1] if nstatev is None else nstatev
    props = np.asarray(props, dtype=float)
    unused = np.zeros((nb, 9), order="F")
    lcs, rho = np.full((nb, 3), lc, order="F"), np.full(nb, density)
    eo, eio = np.full(nb, eold), np.full(nb, einold)
    snew, stnew = np.full_like(sold, MARK), np.full_like(stold, MARK)
    enew, einew = np.full(nb, MARK), np.full(nb, MARK)
    fn = getattr(lib, "toplevel_" + name)
    fn.restype = None
    fn(_i(nb), _i(ndir), _i(nshr), _i(nstatev), _i(1), _i(props.size), _i(0), _d(1.0),
       _d(totaltime), _d(1.0), _text("PLY"), _p(unused), _p(lcs), _p(props), _p(rho), _p(de),
       _p(unused), _p(unused), _p(unused), _p(unused), _p(unused), _p(sold), _p(stold), _p(eo),
       _p(eio), _p(unused), _p(unused), _p(unused), _p(unused), _p(snew), _p(stnew), _p(enew),
       _p(einew))
    return snew, stnew, enew, einew
