// Signatures of module lamina: stress and strain measures, equivalent stresses, hardening lookup.
#include "bind.hpp"
#include "materials/lamina_measures.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::lamina;

const Fragment lamina_measures("lamina", 30, {
    routine<GetTensorComponents>("gettensorcomponents", {"out d t11", "out d t22", "out d t33",
        "out d t12", "out d t13", "out d t23", "in d tvoigt(nvoigt)", "opt i nvoigt",
        "opt d shearfactor = 1.0"}),
    routine<GetTrace>("gettrace", {"out d gettrace", "in d stress(nstress)", "opt i nstress"}),
    routine<GetHydrostaticPressure>("gethydrostaticpressure", {"out d gethydrostaticpressure",
        "in d stress(nstress)", "opt i nstress"}),
    routine<GetMeanStress>("getmeanstress", {"out d cm(3,3)", "in d stress(nstress)",
        "opt i nstress"}),
    routine<GetDeviatoricStress>("getdeviatoricstress", {"out d cd(3,3)", "in d svoigt(6)"}),
    routine<GetPrincipals>("getprincipals", {"out d ps(3)", "in d svoigt(nvoigt)",
        "opt i nvoigt"}),
    routine<GetMisesStress>("getmisesstress", {"out d getmisesstress", "in d stress(nstress)",
        "opt i nstress"}),
    routine<GetTrescaStress>("gettrescastress", {"out d gettrescastress",
        "in d principals(3)"}),
    routine<GetRankineStress>("getrankinestress", {"out d getrankinestress",
        "in d principals(3)"}),
    routine<GetStassiStress>("getstassistress", {"in d stress(6)", "in d xt", "in d xc",
        "out d eq_stress"}),
    routine<GetMisesFlow>("getmisesflow", {"out d flow(nstress)", "in d stress(nstress)",
        "opt i nstress"}),
    routine<GetSmallStrain>("getsmallstrain", {"out d small(3,3)", "in d dfgrd(3,3)"}),
    routine<GetGreenStrain>("getgreenstrain", {"out d green(3,3)", "in d dfgrd(3,3)"}),
    routine<GetAlmansiStrain>("getalmansistrain", {"out d almansi(3,3)", "in d dfgrd(3,3)"}),
    routine<GetHardeningFromTable>("gethardeningfromtable", {"out d yield", "out d gradient",
        "in d strain", "in d table(ntable,2)", "opt i ntable"},
        "Ends the process when the plastic strains of table(:,2) do not increase strictly (two\n"
        "rows or more) and strain is below the largest of them: the linear interpolation\n"
        "prints \"INTERP_LINEAR - Fatal error!\" on standard output and exits with status 1."),
});
}  // namespace
