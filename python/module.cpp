// Import of _vorlen (placeholder until the module objects land).
#include <Python.h>

#include "bind.hpp"

namespace vorlen::py {
Fragment::Fragment(const char*, int, std::vector<Entry>) {}
}  // namespace vorlen::py

static PyModuleDef vorlen_module = {PyModuleDef_HEAD_INIT, "_vorlen", nullptr, -1, nullptr};
PyMODINIT_FUNC PyInit__vorlen(void) { return PyModule_Create(&vorlen_module); }
