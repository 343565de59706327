// Python signatures of module iohandling: card-file primitives, the model listing and report,
// and the step and section card readers. Texts of their own length pass it on hidden.
#include "bind.hpp"
#include "io/iohandling.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::iohandling;

const Fragment iohandling(
    "iohandling", 10,
    {
        routine<GetFreeUnitNumber>("getfreeunitnumber",
                                   {"out i getfreeunitnumber", "in i first", "in i last"}),
        routine<iohandling_getunitnumber>(
            "getunitnumber",
            {"out i getunitnumber", "in s* filename", "hide i lfilename = size(filename)"}),
        routine<GetFileLength>("getfilelength",
                               {"out i getfilelength", "in i fileid", "opt b rwd = 1"}),
        routine<iohandling_getnumberofkeywords>(
            "getnumberofkeywords",
            {"out i getnumberofkeywords", "in i fileid", "in s* keyword", "in i lkey",
             "opt b rwd = 1", "hide i lkeyword = size(keyword)"}),
        routine<iohandling_get2nextkey>(
            "get2nextkey", {"out b get2nextkey", "in i fileid", "in i dirflag", "in s* keyword",
                            "in i lkey", "in i ulimit", "opt i returnkey = 0",
                            "hide i lkeyword = size(keyword)"}),
        routine<iohandling_getsizeofdata>("getsizeofdata",
                                          {"out i getsizeofdata", "in i fileid", "in s* skeys",
                                           "in i ls", "hide i lskeys = size(skeys)"}),
        routine<iohandling_real_getdatapoints>(
            "real_getdatapoints", {"in i fileid", "in,out d outdata(n)", "opt i n"}),
        routine<iohandling_int_getdatapoints>(
            "int_getdatapoints", {"in i fileid", "in,out i outdata(n)", "opt i n"}),
        routine<iohandling_getxydatapoints>(
            "getxydatapoints",
            {"in i fileid", "out d xydata(ndata,nrows)", "in i ndata", "in i nrows"}),
        routine<RewindFile>("rewindfile", {"in i fileid", "in i nrwd"}),
        routine<iohandling_getddsfromfile>("getddsfromfile",
                                           {"in i fileid", "out d xdds(3,nplies)", "in i nplies"}),
        routine<iohandling_getxidfromstring>(
            "getxidfromstring", {"out i getxidfromstring", "in s* s", "in i ls", "in s1 xind",
                                 "opt i notfound = -1", "hide i lsfull = size(s)"}),
        routine<iohandling_getelementdataextents>(
            "getelementdataextents", {"opt,out i iele = 0", "opt,out i inodes = 0",
                                      "opt,out i idof = 0", "in s8 elemtype"}),
        routine<iohandling_getabqdatafromfile>(
            "getabqdatafromfile", {"in s* filepath", "hide i lfilepath = size(filepath)"}),
        routine<iohandling_getgausspointreport>(
            "getgausspointreport", {"in s* filepath", "in d coord(3)", "in i noel", "in i npt",
                                    "hide i lfilepath = size(filepath)"}),
        routine<iohandling_getstepdatafromfile>(
            "getstepdatafromfile", {"in s256 filepath", "in s256 workspace", "in i nsteps"},
            "A card that opens releases the cycle tables of an earlier reading first. A cycle\n"
            "table of kind INDIVIDUAL holds at most 2**24 (16777216) entries, m rows by nsteps\n"
            "columns (m the largest row 6 of cycleprops, rounded): a larger one records code\n"
            "-3 and is not allocated."),
        routine<iohandling_getsectiondatafromfile>("getsectiondatafromfile",
                                                   {"in s256 filepath", "in s256 workspace"}),
    });

}  // namespace
