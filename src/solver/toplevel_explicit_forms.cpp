// Short property forms of the explicit ply routines: stiffness and elastic point response.
#include "solver/toplevel_explicit_forms.hpp"

#include "base/errorhandling.hpp"
#include "core/materialdata.hpp"
#include "core/utility_shape.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::toplevel::explicit_forms {

Form form_of(i32 nprops) {
    if (nprops == 1) return Form::store;
    if (nprops >= 2 && nprops <= 9) return Form::constants;
    if (nprops == 21) return Form::triangle;
    return Form::vector;
}

i32 to_int(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return 0;
    return static_cast<i32>(x);
}

bool short_constants(double* nye, Form form, const double* props, i32 nprops, const double* ply,
                     const double* section, std::string_view routine) {
    if (form == Form::store) {
        const auto& pe = materialdata::peprops;
        const i32 l = ply ? to_int(*ply) : 0, s = section ? to_int(*section) : 0;
        if (!pe.allocated() || pe.ext[0] < 9 || l < 1 || l > pe.ext[1] || s < 1 || s > pe.ext[2]) {
            errorhandling::report(-3, "Ply or section outside the data tables", routine);
            return false;
        }
        const i32 nine = 9;
        lamina::GetNyeProperties(nye, &pe(1, l, s), &nine);
        return true;
    }
    lamina::GetNyeProperties(nye, props, &nprops);  // another count records its code -2
    return nprops == 2 || nprops == 5 || nprops == 9;
}

void triangle_stiffness(double* c, const double* props, i32 nprops) {
    const i32 six = 6;
    double lu[36];
    utility::GetUnpackedTriangle(lu, props, &six, &nprops, "F", nullptr);
    utility::Symmetrize(lu, c, &six);
}

void nye_to_cyclic(double* c) {
    const i32 six = 6, to_cyclic = 2;
    lamina::FlipVoigtNyeNotation(c, c, &six, &six);
    lamina::FlipVoigtCyclicNotation(c, c, &six, &to_cyclic, &six);
}

bool short_stiffness(double* c, Form form, const double* props, i32 nprops, const double* ply,
                     const double* section, std::string_view routine) {
    const i32 six = 6;
    for (int k = 0; k < 36; ++k) c[k] = 0.0;
    if (form == Form::triangle) {
        triangle_stiffness(c, props, nprops);
    } else {
        double nye[9];
        if (!short_constants(nye, form, props, nprops, ply, section, routine)) return false;
        lamina::GetNyeStiffnessMatrix(c, nye, &six, nullptr);
    }
    nye_to_cyclic(c);
    for (int k = 0; k < 36; ++k)
        if (c[k] != 0.0) return true;
    return false;
}

double elastic_increment(const double* c, const double* de, const double* sold, double* snew) {
    double e[6], s[6], w = 0.0;
    for (int k = 0; k < 6; ++k) e[k] = k < 3 ? de[k] : 2.0 * de[k];
    for (int r = 0; r < 6; ++r) {
        double t = sold[r];
        for (int k = 0; k < 6; ++k) t += c[r + 6 * k] * e[k];
        s[r] = t;
    }
    for (int r = 0; r < 6; ++r) {
        w += 0.5 * (sold[r] + s[r]) * e[r];
        snew[r] = s[r];
    }
    return w;
}

}  // namespace vorlen::toplevel::explicit_forms
