// Python signatures of the norms, distances, normalisation and scalar functions of module math.
#include "bind.hpp"
#include "core/math_norms.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment norms("math", 50, {
    routine<VectorNorm>("vectornorm", {"out d vectornorm", "in d x(n)", "opt i n"}),
    routine<MatrixNorm>("matrixnorm", {"out d matrixnorm", "in d x(n,m)", "opt i n", "opt i m"}),
    routine<LpVectorNorm>("lpvectornorm", {"out d lpvectornorm", "in d x(n)", "in d p", "opt i n"}),
    routine<LpMatrixNorm>("lpmatrixnorm",
                          {"out d lpmatrixnorm", "in d x(n,m)", "in d p", "opt i n", "opt i m"}),
    routine<SpectralNorm>("spectralnorm",
                          {"out d spectralnorm", "in d x(m,n)", "opt i m", "opt i n"}),
    routine<NuclearNorm>("nuclearnorm", {"out d nuclearnorm", "in d x(m,n)", "opt i m", "opt i n"}),
    routine<SchattenNorm>("schattennorm",
                          {"out d schattennorm", "in d x(m,n)", "in d p", "opt i m", "opt i n"}),
    routine<EuclideanDistance>("euclideandistance",
                               {"out d euclideandistance", "in d x(n)", "in d y(n)", "opt i n"}),
    routine<EuclideanAngle>("euclideanangle",
                            {"out d euclideanangle", "in d x(n)", "in d y(n)", "opt i n"}),
    routine<GetUnitVector>("getunitvector", {"out d xu(n)", "in d x(n)", "opt i n"}),
    routine<ScalarProjection>("scalarprojection",
                              {"out d scalarprojection", "in d a(n)", "in d b(n)", "opt i n"}),
    routine<VectorNormalize>("vectornormalize", {"in d x(n)", "out d z(n)", "opt i n"}),
    routine<MatrixNormalize>("matrixnormalize",
                             {"in d x(n,m)", "out d z(n,m)", "opt i n", "opt i m"}),
    routine<math_dasinh>("dasinh", {"out d y", "in d x"}),
    routine<math_dacosh>("dacosh", {"out d y", "in d x"}),
    routine<math_datanh>("datanh", {"out d y", "in d x"}),
    routine<math_dacoth>("dacoth", {"out d y", "in d x"}),
    routine<math_fishertransformation>("fishertransformation",
                                       {"out d fishertransformation", "in d x",
                                        "opt i iflag = -1"}),
    routine<PascalTriangle>("pascaltriangle", {"out d pascaltriangle", "in i n", "in i k"}),
    routine<math_droundsf>("droundsf", {"out d droundsf", "in d a", "opt i sig = 8"}),
    routine<math_dceil>("dceil", {"out d dceil", "in d a"}),
});
}  // namespace
