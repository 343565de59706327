import os
import subprocess
import sys
import textwrap

import pytest

import _vorlen

# The solver-protocol driver (tools/solverdriver.py) for the tests of the solver entry points.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))


@pytest.fixture
def clean_store():
    """An empty data store and error register before and after the test (the release of the
    store keeps r_crit and i10, which the material card makes only when they are absent)."""
    _vorlen.datahandling.deallocall()
    _vorlen.materialdata.r_crit = _vorlen.materialdata.i10 = None
    _vorlen.errorhandling.rsxerr(1)
    yield _vorlen
    _vorlen.datahandling.deallocall()
    _vorlen.materialdata.r_crit = _vorlen.materialdata.i10 = None
    _vorlen.errorhandling.rsxerr(1)


def run_python(code, timeout=120):
    """Runs code in a fresh interpreter with the same environment; returns the process."""
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)], capture_output=True,
                          text=True, timeout=timeout)


@pytest.fixture
def clean_register():
    """The first-error register cleared before and after the test."""
    _vorlen.errorhandling.rsxerr(1)
    yield _vorlen.errorhandling
    _vorlen.errorhandling.rsxerr(1)


def errstat():
    """Code of the report held by the first-error register, 0 when none."""
    return int(_vorlen.errorhandling.errstat)


def errtext():
    """Message of the report held by the first-error register, without its blank padding."""
    return bytes(_vorlen.errorhandling.errstring[()]).decode().rstrip()
