#include "tests/support/test_store.h"

Corvane3Data* TheStore = nullptr;
