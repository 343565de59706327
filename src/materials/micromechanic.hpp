// Module micromechanic: ply constants and strengths from fibre and matrix by closed-form rules,
// Eshelby and concentration tensors, and mean-field homogenisation.
#pragma once
#include "materials/micromechanic_eshelby.hpp"
#include "materials/micromechanic_rules.hpp"
#include "materials/micromechanic_schemes.hpp"
