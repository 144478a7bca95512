// libFuzzer programs: the slow checks run on a share of the inputs (see Sampled).

#include "fuzz_check.h"

bool ql40::fuzz::EveryInput() {
  return false;
}
