// Signatures of module elementhandling: reference orientations collected per element.
#include "bind.hpp"
#include "elements/elementhandling_reference.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elementhandling;

const Fragment reference("elementhandling", 30, {
    routine<GetElementRefOrientation>("getelementreforientation", {"out i istatus", "in i ind",
        "in d t(3,3)", "in d tdirect(3,3)", "in d plyorientation(nplies,nsec)", "in i noel",
        "in i kspt", "in i layid", "in i secid", "opt i nplies", "opt i nsec", "in i nextid"}),
    routine<GetABQElementOrientation>("getabqelementorientation", {
        "out d getabqelementorientation", "in d rm(3)", "in d tdirect(3,3)"}),
    routine<GetElementReferenceData>("getelementreferencedata", {"out i nshell", "out i ierror",
                                                                 "in i ind"}),
});
}  // namespace
