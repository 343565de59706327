#include "boxbeam/boxbeamdata.hpp"

using vorlen::Alloc;
using vorlen::i32;
using vorlen::lgl;

extern "C" {
char path_csinfopath[240] = {};
char path_vbinfopath[240] = {};

i32 restr_maxgu = 0;
i32 restr_maxwa = 0;
i32 restr_maxze = 0;

lgl steuer_druck = 0;
lgl steuer_exdru = 0;
i32 steuer_klog = 0;

char spanug_kennz[80] = {};
double spanug_qqx = 0.0;
double spanug_qqy = 0.0;
double spanug_qqz = 0.0;
double spanug_qmx = 0.0;
double spanug_qmy = 0.0;
double spanug_qmz = 0.0;

double quer_ys = 0.0, quer_zs = 0.0;
double quer_yt = 0.0, quer_zt = 0.0;
double quer_ymst = 0.0, quer_zmst = 0.0;
double quer_ymstac = 0.0, quer_zmstac = 0.0;
double quer_bx = 0.0;
double quer_alpha = 0.0;
double quer_dyyste = 0.0, quer_dzzste = 0.0;
double quer_dyy = 0.0, quer_dzy = 0.0, quer_dzz = 0.0;
double quer_dt = 0.0;
double quer_m = 0.0;
double quer_iyys = 0.0, quer_izzs = 0.0, quer_izys = 0.0;
double quer_itt = 0.0;

i32 wand_kw = 0;
Alloc<i32, 1> wand_ig1;
Alloc<i32, 1> wand_ig2;
Alloc<i32, 1> wand_it;
Alloc<double, 1> wand_yk0;
Alloc<double, 1> wand_zk0;
Alloc<double, 1> wand_yklk;
Alloc<double, 1> wand_zklk;
Alloc<double, 1> wand_bk;
Alloc<double, 1> wand_gk;
Alloc<double, 1> wand_rhok;
Alloc<double, 1> wand_e;
Alloc<double, 1> wand_th;

i32 gurt_ig = 0;
Alloc<double, 1> gurt_yi;
Alloc<double, 1> gurt_zi;
Alloc<double, 1> gurt_bi;
Alloc<double, 1> gurt_myi;

i32 zelle_az = 0;
Alloc<i32, 1> zelle_iak;
Alloc<i32, 2> zelle_ia;

Alloc<double, 1> kraft_nx0;
Alloc<double, 1> kraft_nxl2;
Alloc<double, 1> kraft_nxl;
Alloc<double, 1> kraft_t0;
Alloc<double, 1> kraft_tl2;
Alloc<double, 1> kraft_tl;

Alloc<double, 2> epigam_epi;
Alloc<double, 2> epigam_gam;
Alloc<double, 1> epigam_epigu;
}
