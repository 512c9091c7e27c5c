/* The C side of buddy_ref.h. */
#include "buddy_ref.h"

#include <bdd.h>

static void quiet_gc(int pre, bddGbcStat* stat) {
  (void)pre;
  (void)stat;
}

void buddy_open(int nvars, int nodes, int cache) {
  bdd_init(nodes, cache);
  bdd_setvarnum(nvars);
  bdd_gbc_hook(quiet_gc);
  bdd_setmaxincrease(1 << 24);
}

void buddy_close(void) { bdd_done(); }

int buddy_true(void) { return bdd_true(); }
int buddy_false(void) { return bdd_false(); }
int buddy_var(int i) { return bdd_ithvar(i); }
int buddy_nvar(int i) { return bdd_nithvar(i); }
int buddy_copy(int f) { return bdd_addref(f); }
void buddy_release(int f) { bdd_delref(f); }

int buddy_and(int f, int g) { return bdd_addref(bdd_apply(f, g, bddop_and)); }
int buddy_or(int f, int g) { return bdd_addref(bdd_apply(f, g, bddop_or)); }
int buddy_xor(int f, int g) { return bdd_addref(bdd_apply(f, g, bddop_xor)); }
int buddy_not(int f) { return bdd_addref(bdd_not(f)); }
int buddy_ite(int f, int g, int h) { return bdd_addref(bdd_ite(f, g, h)); }
int buddy_exist(int f, int var) { return bdd_addref(bdd_exist(f, bdd_ithvar(var))); }
int buddy_forall(int f, int var) { return bdd_addref(bdd_forall(f, bdd_ithvar(var))); }
int buddy_restrict(int f, int cube) { return bdd_addref(bdd_restrict(f, cube)); }
int buddy_compose(int f, int g, int var) { return bdd_addref(bdd_compose(f, g, var)); }

long buddy_produced(void) {
  bddStat stat;
  bdd_stats(&stat);
  return stat.produced;
}

double buddy_satcount(int f) { return bdd_satcount(f); }
