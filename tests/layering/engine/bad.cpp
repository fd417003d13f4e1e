#include "store/records.h"
#include "shell/globals.h"
