// fatal: how the engine stops on a fatal misuse or a broken invariant: its
// message is already on the standard error stream; the process ends with
// status 1.
#ifndef TESSAN_BDD_FATAL_H
#define TESSAN_BDD_FATAL_H

#include <cstdlib>
#include <iostream>

[[noreturn]] inline void bdd_fatal_exit() {
  std::cerr.flush();
  std::exit(1);
}

#endif
