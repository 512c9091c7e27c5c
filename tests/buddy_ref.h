/* buddy_ref: a thin C interface to BuDDy, the reference BDD library that the
   oracle tests and the benchmarks compare this engine with. BuDDy's own
   header declares a C++ class named `bdd` in C++ mode, so it is included only
   by buddy_ref.c, compiled as C. Every function returning a diagram returns
   it with one reference taken; buddy_release gives it back. One BuDDy
   instance per process at a time (buddy_open ... buddy_close). */
#ifndef TESSAN_TESTS_BUDDY_REF_H
#define TESSAN_TESTS_BUDDY_REF_H

#ifdef __cplusplus
extern "C" {
#endif

void buddy_open(int nvars, int nodes, int cache);
void buddy_close(void);

int buddy_true(void);
int buddy_false(void);
int buddy_var(int i);
int buddy_nvar(int i);
int buddy_copy(int f); /* one more reference */
void buddy_release(int f);

int buddy_and(int f, int g);
int buddy_or(int f, int g);
int buddy_xor(int f, int g);
int buddy_not(int f);
int buddy_ite(int f, int g, int h);
int buddy_exist(int f, int var);
int buddy_forall(int f, int var);
int buddy_restrict(int f, int cube);
int buddy_compose(int f, int g, int var);

/* Nodes produced since buddy_open. */
long buddy_produced(void);

double buddy_satcount(int f);

#ifdef __cplusplus
}
#endif

#endif
