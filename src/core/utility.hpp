// Module utility: the elementary array helpers (initialisation, filling, shaping, search,
// selection and merging) on which the numerical and mechanical routines are built, and the
// process arrival table.
#pragma once
#include "core/utility_fill.hpp"
#include "core/utility_process.hpp"
#include "core/utility_search.hpp"
#include "core/utility_shape.hpp"
