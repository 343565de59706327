// Python signatures of the geometry and tensor transforms of module math.
#include "bind.hpp"
#include "core/math_geometry.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment geometry("math", 60, {
    routine<GetRotationMatrix>("getrotationmatrix",
                               {"out d trot(3,3)", "in d n(3)", "in d alpha_r"}),
    routine<GetTransformationMatrix>("gettransformationmatrix",
                                     {"out d tbase(3,3)", "in d nx(3)", "in d ny(3)",
                                      "in d nz(3)"}),
    routine<GetHouseHolderTransformationMatrix>("gethouseholdertransformationmatrix",
                                                {"out d thouse(n,n)", "in d v(n)", "opt i n"}),
    routine<TensorTransformation2nd>("tensortransformation2nd",
                                     {"in d tensin(3,3)", "out d tensout(3,3)", "in d tbase(3,3)"}),
    routine<TensorRotation2nd>("tensorrotation2nd", {"in d input_2nd(3,3)", "out d output_2nd(3,3)",
                                                     "in d angle_r", "opt d n0(3) = (1, 0, 0)"}),
    routine<TensorRotation4th>("tensorrotation4th",
                               {"in d input_4th(3,3,3,3)", "out d output_4th(3,3,3,3)",
                                "in d angle_r", "opt d n0(3) = (1, 0, 0)"}),
    routine<math_tensormultiplication>("tensormultiplication",
                                       {"in d t_4th(3,3,3,3)", "in d t_2nd(3,3)",
                                        "out d out_2nd(3,3)"}),
    routine<GetEulerRotation>("geteulerrotation", {"out d eul(3)", "in d r(3,3)"}),
    routine<CoordinateRotation>("coordinaterotation",
                                {"in d a(3)", "in d p(3)", "out d prot(3)", "in d alpha_d"}),
    routine<CoordinateTranslation>("coordinatetranslation",
                                   {"in d a(3)", "in d p(3)", "out d ptrans(3)"}),
    routine<CoordinateReflection>("coordinatereflection",
                                  {"in d na(3)", "in d nb(3)", "in d p(3)", "out d pref(3)"}),
    routine<CoordinateProjection>("coordinateprojection", {"in d u(3)", "in d v(3)", "in d p(3)",
                                                           "out d ppro(3)", "opt d r0(3) = 0"}),
    routine<CoordinateNormalization>("coordinatenormalization",
                                     {"in d p(np,ndim)", "out d pnorm(np,ndim)", "in d interval(2)",
                                      "opt i np", "opt i ndim"}),
    routine<PolarTransformation>("polartransformation",
                                 {"in d cartesian(n)", "out d polar(n)", "opt i n",
                                  "opt d phi0 = 0"}),
    routine<EffectiveArcLength>("effectivearclength", {"out d effectivearclength", "in d oa(n)",
                                                       "in d ob(n)", "in d curvature", "opt i n"}),
    routine<math_gettrianglearea>("gettrianglearea", {"out d gettrianglearea", "in d x1", "in d y1",
                                                      "in d x2", "in d y2", "in d x3", "in d y3"}),
    routine<ShoelaceMethod>("shoelacemethod",
                            {"out d shoelacemethod", "in d x(n)", "in d y(n)", "opt i n"}),
    routine<GetCentroid>("getcentroid", {"out d c(2)", "in d x(n)", "in d y(n)", "opt i n"}),
    routine<GetRadiusOfEllipse>("getradiusofellipse",
                                {"out d r", "in d a", "in d b", "in d phi_d"}),
    routine<GetBoundingBoxFromEllipse>("getboundingboxfromellipse",
                                       {"out d xybound(2)", "in d a", "in d b", "in d phi_d"}),
});
}  // namespace
