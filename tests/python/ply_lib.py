"""Reference elasticity of an orthotropic ply, written out from the engineering constants."""
import numpy as np


def nye_compliance(e1, e2, e3, nu12, nu13, nu23, g12, g13, g23):
    """6 by 6 compliance in Nye order (11, 22, 33, 12, 13, 23), engineering shears."""
    s = np.zeros((6, 6))
    s[:3, :3] = [[1 / e1, -nu12 / e1, -nu13 / e1],
                 [-nu12 / e1, 1 / e2, -nu23 / e2],
                 [-nu13 / e1, -nu23 / e2, 1 / e3]]
    s[3, 3], s[4, 4], s[5, 5] = 1 / g12, 1 / g13, 1 / g23
    return s
